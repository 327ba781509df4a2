#include "platform/linux/desktop/DesktopEntries.h"

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

// How well an entry fits a process that runs its program; the greater the better.
struct Rank {
    bool samePath = false; // the entry starts this very file, not only one of the same name
    int arguments = 0;     // see argumentsRank
    bool shown = false;    // shown in this desktop's menus
    auto operator<=>(const Rank&) const = default;
};

// The arguments an entry starts its program with, field codes (%U, %f, ...) left out.
std::vector<std::string> ownArguments(GDesktopAppInfo* info) {
    std::vector<std::string> own;
    const char* line = g_app_info_get_commandline(G_APP_INFO(info));
    gchar** argv = nullptr;
    if (!line || !g_shell_parse_argv(line, nullptr, &argv, nullptr)) return own;
    for (gchar** arg = argv && argv[0] ? argv + 1 : argv; arg && *arg; ++arg) {
        const std::string_view text = *arg;
        if (text.size() == 2 && text[0] == '%') continue;
        own.emplace_back(text);
    }
    g_strfreev(argv);
    return own;
}

// 1 + the number of the entry's own arguments when the process was started with all of
// them; 1 for an entry with none; 0 for an entry that adds arguments the process lacks.
int argumentsRank(const std::vector<std::string>& own, const std::vector<std::string>& process) {
    const bool all = std::all_of(own.begin(), own.end(), [&process](const std::string& argument) {
        return std::find(process.begin(), process.end(), argument) != process.end();
    });
    return all ? 1 + int(own.size()) : 0;
}

bool isShown(GDesktopAppInfo* info) {
    return !g_desktop_app_info_get_nodisplay(info) && !g_desktop_app_info_get_is_hidden(info) &&
           g_desktop_app_info_get_show_in(info, nullptr);
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

std::optional<DesktopEntries::Entry> DesktopEntries::forApplication(const Clues& clues) {
    for (const std::string& id : clues.ids) {
        if (id.empty()) continue;
        if (auto entry = withId(id)) return entry;
        GList* all = g_app_info_get_all();
        GDesktopAppInfo* byStartupClass = nullptr;
        GDesktopAppInfo* byId = nullptr;
        for (GList* node = all; node && !byStartupClass; node = node->next) {
            if (!G_IS_DESKTOP_APP_INFO(node->data)) continue;
            auto* info = G_DESKTOP_APP_INFO(node->data);
            const char* startupClass = g_desktop_app_info_get_startup_wm_class(info);
            if (startupClass && id == startupClass) byStartupClass = info;
            const std::string entryId = withoutSuffix(g_app_info_get_id(G_APP_INFO(info)));
            // "mousepad" names org.xfce.mousepad: the reverse domain name of its vendor aside.
            const bool suffixed = entryId.size() > id.size() && entryId[entryId.size() - id.size() - 1] == '.' &&
                                  equalsIgnoringCase(std::string_view(entryId).substr(entryId.size() - id.size()), id);
            if (!byId && (equalsIgnoringCase(entryId, id) || suffixed)) byId = info;
        }
        std::optional<Entry> entry;
        if (auto* found = byStartupClass ? byStartupClass : byId) entry = entryOf(found);
        g_list_free_full(all, g_object_unref);
        if (entry) return entry;
    }
    if (clues.executable.empty()) return std::nullopt;
    return forExecutable(clues.executable, clues.arguments);
}

std::optional<DesktopEntries::Entry> DesktopEntries::forExecutable(std::string_view path,
                                                                   const std::vector<std::string>& arguments) {
    const std::size_t slash = path.rfind('/');
    if (path.empty() || path.front() != '/' || slash + 1 >= path.size()) return std::nullopt;
    std::string program = std::string(path);
    // A wrapper's real binary beside it (LibreOffice's soffice runs soffice.bin): the
    // entries start the wrapper.
    constexpr std::string_view binSuffix = ".bin";
    if (program.ends_with(binSuffix) && program.size() > slash + 1 + binSuffix.size()) {
        const std::string wrapper = program.substr(0, program.size() - binSuffix.size());
        if (g_file_test(wrapper.c_str(), G_FILE_TEST_IS_EXECUTABLE)) program = wrapper;
    }
    const std::string_view fileName = std::string_view(program).substr(slash + 1);
    if (isLauncher(fileName)) return std::nullopt;
    GList* all = g_app_info_get_all();
    GDesktopAppInfo* best = nullptr;
    Rank bestRank;
    for (GList* node = all; node; node = node->next) {
        if (!G_IS_DESKTOP_APP_INFO(node->data)) continue;
        auto* info = G_DESKTOP_APP_INFO(node->data);
        const char* started = g_app_info_get_executable(G_APP_INFO(info));
        if (!started || !*started) continue;
        const std::string_view name = std::string_view(started).substr(std::string_view(started).rfind('/') + 1);
        if (isLauncher(name)) continue;
        Rank rank;
        if (started[0] == '/') {
            rank.samePath = program == started || sameFile(started, program);
        } else if (char* found = g_find_program_in_path(started)) {
            rank.samePath = sameFile(found, program);
            g_free(found);
        }
        // Another name of the same file (soffice and libreoffice) is the same program.
        if (!rank.samePath && name != fileName) continue;
        rank.arguments = argumentsRank(ownArguments(info), arguments);
        rank.shown = isShown(info);
        if (!best || bestRank < rank) {
            best = info;
            bestRank = rank;
        }
    }
    std::optional<Entry> entry;
    if (best) entry = entryOf(best);
    g_list_free_full(all, g_object_unref);
    return entry;
}

} // namespace tavlin::platform
