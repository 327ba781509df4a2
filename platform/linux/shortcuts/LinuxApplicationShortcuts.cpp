#include "platform/linux/shortcuts/LinuxApplicationShortcuts.h"

#include "platform/linux/desktop/DesktopEntries.h"
#include "platform/linux/desktop/ProcessDesktopEntry.h"
#include "platform/linux/shortcuts/ApplicationCatalogue.h"
#include "platform/linux/shortcuts/ProcessResourceFiles.h"
#include "platform/linux/shortcuts/ShortcutTableFiles.h"

#include <gio/gdesktopappinfo.h>

#include <algorithm>
#include <filesystem>

namespace tavlin::platform {
namespace {

constexpr const char* gettextDomainKey = "X-GNOME-Gettext-Domain";

// Whether the entry is installed, and the gettext domain it names (empty for none).
std::optional<std::string> entryDomain(const std::string& id) {
    if (id.empty()) return std::nullopt;
    GDesktopAppInfo* info = g_desktop_app_info_new((id + ".desktop").c_str());
    if (!info) return std::nullopt;
    std::string domain;
    if (char* value = g_desktop_app_info_get_string(info, gettextDomainKey)) {
        domain = value;
        g_free(value);
    }
    g_object_unref(info);
    return domain;
}

std::string withoutDeletedMark(std::string path) {
    constexpr std::string_view mark = " (deleted)";
    if (path.ends_with(mark)) path.resize(path.size() - mark.size());
    return path;
}

} // namespace

std::vector<std::string> LinuxApplicationShortcuts::desktopEntryIds(const RunningApplication& application) {
    std::vector<std::string> ids;
    bool installed = false; // whether one of them names an installed entry
    const auto add = [&ids, &installed](const std::string& id) {
        if (id.empty() || std::find(ids.begin(), ids.end(), id) != ids.end()) return;
        ids.push_back(id);
        installed = installed || DesktopEntries::withId(id).has_value();
    };
    if (application.bundleIdentifier) add(*application.bundleIdentifier);
    if (const auto launched = ProcessDesktopEntry::launchedId(application.processIdentifier)) add(*launched);
    // Matching the executable reads every installed entry: it is done only when the
    // application's own names are no entry (a window class, a bus name).
    if (!installed)
        if (const auto executable = ProcessDesktopEntry::executable(application.processIdentifier))
            if (const auto entry = DesktopEntries::forExecutable(withoutDeletedMark(*executable))) add(entry->id);
    return ids;
}

std::string LinuxApplicationShortcuts::gettextDomain(const RunningApplication& application,
                                                     const std::string& executable) {
    const std::string executableName = std::filesystem::path(executable).filename().string();
    for (const std::string& id : desktopEntryIds(application))
        if (const auto domain = entryDomain(id)) return domain->empty() ? executableName : *domain;
    return executableName;
}

std::vector<ApplicationShortcuts::WindowRow> LinuxApplicationShortcuts::shortcutsWindow(
    const RunningApplication& application) {
    const auto file = ShortcutsWindowReader::file(application.processIdentifier, limits_);
    if (!file) return {};
    const auto sections = ShortcutsWindowFile::read(*file, limits_.file);
    if (sections.empty()) return {};
    const std::string executable =
        withoutDeletedMark(ProcessResourceFiles::executablePath(application.processIdentifier));
    const ApplicationCatalogue catalogue(gettextDomain(application, executable),
                                         ApplicationCatalogue::localeDirectoryFor(executable));
    return ShortcutsWindowReader::rows(sections, catalogue, application.localizedName.value_or("Shortcuts"),
                                       limits_.rows);
}

std::vector<ApplicationShortcuts::TableRow> LinuxApplicationShortcuts::table(const RunningApplication& application) {
    std::vector<TableRow> rows;
    for (auto& row : ShortcutTableFiles::forDesktopEntries(desktopEntryIds(application)))
        rows.push_back({std::move(row.group), std::move(row.title), std::move(row.keys)});
    return rows;
}

} // namespace tavlin::platform
