#include "platform/linux/LinuxApplicationShortcuts.h"

#include "platform/linux/ApplicationCatalogue.h"
#include "platform/linux/DesktopEntries.h"
#include "platform/linux/ProcessDesktopEntry.h"
#include "platform/linux/ProcessResourceFiles.h"
#include "platform/linux/ShortcutTableFiles.h"

#include <gio/gdesktopappinfo.h>

#include <algorithm>
#include <filesystem>

namespace tavlin::platform {
namespace {

constexpr const char* gettextDomainKey = "X-GNOME-Gettext-Domain";

// The entry's gettext domain, when it names one.
std::optional<std::string> entryDomain(const std::string& id) {
    if (id.empty()) return std::nullopt;
    GDesktopAppInfo* info = g_desktop_app_info_new((id + ".desktop").c_str());
    if (!info) return std::nullopt;
    std::optional<std::string> domain;
    if (char* value = g_desktop_app_info_get_string(info, gettextDomainKey)) {
        if (*value) domain = value;
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
    const auto add = [&ids](const std::string& id) {
        if (!id.empty() && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    };
    if (application.bundleIdentifier) add(*application.bundleIdentifier);
    if (const auto launched = ProcessDesktopEntry::launchedId(application.processIdentifier)) add(*launched);
    if (const auto executable = ProcessDesktopEntry::executable(application.processIdentifier))
        if (const auto entry = DesktopEntries::forExecutable(withoutDeletedMark(*executable))) add(entry->id);
    return ids;
}

std::string LinuxApplicationShortcuts::gettextDomain(const RunningApplication& application,
                                                     const std::string& executable) {
    // The entries by id first: the one matched through the executable costs a look
    // through every installed entry, and is asked for only when these name no domain.
    if (application.bundleIdentifier)
        if (auto domain = entryDomain(*application.bundleIdentifier)) return *domain;
    const auto launched = ProcessDesktopEntry::launchedId(application.processIdentifier);
    if (launched)
        if (auto domain = entryDomain(*launched)) return *domain;
    if (!executable.empty()) {
        const auto entry = DesktopEntries::forExecutable(executable);
        if (entry && entry->id != application.bundleIdentifier && entry->id != launched)
            if (auto domain = entryDomain(entry->id)) return *domain;
    }
    return std::filesystem::path(executable).filename().string();
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
