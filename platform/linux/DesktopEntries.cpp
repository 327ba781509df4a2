#include "platform/linux/DesktopEntries.h"

#include <gio/gdesktopappinfo.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <strings.h>

namespace tavlin::platform {
namespace {

std::string withoutSuffix(const char* desktopId) {
    std::string id = desktopId ? desktopId : "";
    constexpr std::string_view suffix = ".desktop";
    if (id.size() > suffix.size() && id.compare(id.size() - suffix.size(), suffix.size(), suffix) == 0)
        id.resize(id.size() - suffix.size());
    return id;
}

DesktopEntries::Entry entryOf(GDesktopAppInfo* info) {
    DesktopEntries::Entry entry;
    entry.id = withoutSuffix(g_app_info_get_id(G_APP_INFO(info)));
    if (const char* name = g_app_info_get_name(G_APP_INFO(info))) entry.name = name;
    if (GIcon* icon = g_app_info_get_icon(G_APP_INFO(info))) {
        if (G_IS_THEMED_ICON(icon)) {
            const gchar* const* names = g_themed_icon_get_names(G_THEMED_ICON(icon));
            if (names && names[0]) entry.icon = names[0];
        } else if (G_IS_FILE_ICON(icon)) {
            if (char* path = g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon)))) {
                entry.icon = path;
                g_free(path);
            }
        }
    }
    return entry;
}

// Programs that run another one named later on their command line: their name says
// nothing about which application runs.
bool isLauncher(std::string_view name) {
    static constexpr std::string_view launchers[] = {"env", "sh", "bash", "dash", "flatpak", "snap", "pkexec",
                                                     "gjs", "node", "perl", "ruby", "java", "mono", "wine",
                                                     "wine64"};
    return name.starts_with("python") || std::find(std::begin(launchers), std::end(launchers), name) != std::end(launchers);
}

bool sameFile(const char* a, std::string_view b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return !a.empty() && a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace

std::optional<DesktopEntries::Entry> DesktopEntries::withId(std::string_view id) {
    if (id.empty()) return std::nullopt;
    const std::string file = std::string(id) + ".desktop";
    GDesktopAppInfo* info = g_desktop_app_info_new(file.c_str());
    if (!info) return std::nullopt;
    Entry entry = entryOf(info);
    g_object_unref(info);
    return entry;
}

std::optional<DesktopEntries::Entry> DesktopEntries::forWindowClass(std::string_view instance,
                                                                    std::string_view className) {
    GList* all = g_app_info_get_all();
    GDesktopAppInfo* byStartupClass = nullptr;
    GDesktopAppInfo* byId = nullptr;
    for (GList* node = all; node; node = node->next) {
        if (!G_IS_DESKTOP_APP_INFO(node->data)) continue;
        auto* info = G_DESKTOP_APP_INFO(node->data);
        const char* startupClass = g_desktop_app_info_get_startup_wm_class(info);
        if (!byStartupClass && startupClass && (className == startupClass || instance == startupClass))
            byStartupClass = info;
        const std::string id = withoutSuffix(g_app_info_get_id(G_APP_INFO(info)));
        if (!byId && (equalsIgnoringCase(id, instance) || equalsIgnoringCase(id, className))) byId = info;
    }
    std::optional<Entry> entry;
    if (auto* found = byStartupClass ? byStartupClass : byId) entry = entryOf(found);
    g_list_free_full(all, g_object_unref);
    return entry;
}

std::optional<DesktopEntries::Entry> DesktopEntries::forExecutable(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (path.empty() || path.front() != '/' || slash + 1 >= path.size()) return std::nullopt;
    const std::string_view fileName = path.substr(slash + 1);
    if (isLauncher(fileName)) return std::nullopt;
    GList* all = g_app_info_get_all();
    GDesktopAppInfo* byPath = nullptr;
    GDesktopAppInfo* byName = nullptr;
    for (GList* node = all; node && !byPath; node = node->next) {
        if (!G_IS_DESKTOP_APP_INFO(node->data)) continue;
        auto* info = G_DESKTOP_APP_INFO(node->data);
        const char* program = g_app_info_get_executable(G_APP_INFO(info));
        if (!program || !*program) continue;
        const std::string_view name = std::string_view(program).substr(std::string_view(program).rfind('/') + 1);
        if (name != fileName) continue;
        if (program[0] == '/') {
            if (path == program || sameFile(program, path)) byPath = info;
        } else if (char* found = g_find_program_in_path(program)) {
            if (sameFile(found, path)) byPath = info;
            g_free(found);
        }
        if (!byName) byName = info;
    }
    std::optional<Entry> entry;
    if (auto* found = byPath ? byPath : byName) entry = entryOf(found);
    g_list_free_full(all, g_object_unref);
    return entry;
}

} // namespace tavlin::platform
