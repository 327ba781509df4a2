#include "platform/linux/shortcuts/ShortcutTableFiles.h"

#include "platform/linux/common/GLibHandle.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

#define TABLES_DOMAIN "tavlin-tables"

namespace tavlin::platform {
namespace {

constexpr std::string_view headerGroup = "Tavlin Shortcuts";
constexpr std::string_view chordSeparator = ", ";
constexpr std::size_t maximumChords = 4;
constexpr std::array<std::string_view, 4> modifierSymbols{"\u2303", "\u2325", "\u21E7", "\u2318"};

bool startsWithModifier(std::string_view text) {
    return std::any_of(modifierSymbols.begin(), modifierSymbols.end(),
                       [&](std::string_view symbol) { return text.starts_with(symbol); });
}

bool validKeyPart(std::string_view key) {
    if (key == "Space" || key == "Print") return true;
    if (key.size() >= 2 && key.size() <= 3 && key.front() == 'F' && key[1] != '0' &&
        std::all_of(key.begin() + 1, key.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const int number = std::stoi(std::string(key.substr(1)));
        return number >= 1 && number <= 20;
    }
    if (key.empty() || !g_utf8_validate(key.data(), static_cast<gssize>(key.size()), nullptr)) return false;
    if (g_utf8_strlen(key.data(), static_cast<gssize>(key.size())) != 1) return false;
    const gunichar c = g_utf8_get_char(key.data());
    return g_unichar_isgraph(c) && g_unichar_toupper(c) == c && !startsWithModifier(key);
}

bool validChord(std::string_view chord) {
    for (std::string_view symbol : modifierSymbols)
        if (chord.starts_with(symbol)) chord.remove_prefix(symbol.size());
    // What is left starts with no modifier: one out of order or written twice is no key.
    return !startsWithModifier(chord) && validKeyPart(chord);
}

// A key file's string in `language` (none: the user's), or none when the key is missing.
std::optional<std::string> localeString(GKeyFile* file, const char* group, const char* key, const char* language) {
    gchar* value = g_key_file_get_locale_string(file, group, key, language, nullptr);
    if (value == nullptr) return std::nullopt;
    std::string text(value);
    g_free(value);
    return text;
}

std::optional<std::string> readSmallFile(const std::filesystem::path& path, std::string& error) {
    std::error_code code;
    const auto size = std::filesystem::file_size(path, code);
    if (code) {
        error = code.message();
        return std::nullopt;
    }
    if (size > ShortcutTableFiles::maximumFileSize) {
        error = "larger than " + std::to_string(ShortcutTableFiles::maximumFileSize / 1024) + " KiB";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string text(size, '\0');
    if (!in.read(text.data(), static_cast<std::streamsize>(size))) {
        error = "could not be read";
        return std::nullopt;
    }
    return text;
}

// The table files of a folder, in the order of their names.
std::vector<std::filesystem::path> tableFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code code;
    for (std::filesystem::directory_iterator it(folder, code), end; !code && it != end; it.increment(code))
        if (it->path().filename().string().ends_with(ShortcutTableFiles::fileSuffix) && it->is_regular_file(code))
            files.push_back(it->path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

bool ShortcutTableFiles::validKeys(std::string_view keys) {
    std::size_t chords = 0;
    while (true) {
        if (++chords > maximumChords) return false;
        // The separator follows a chord's key, so a chord whose key is "," is found whole.
        const std::size_t end = keys.find(chordSeparator, 1);
        if (!validChord(keys.substr(0, end))) return false;
        if (end == std::string_view::npos) return true;
        keys.remove_prefix(end + chordSeparator.size());
    }
}

std::optional<ShortcutTableFiles::Table> ShortcutTableFiles::parse(std::string_view text, const char* language,
                                                                   std::string& error) {
    GLibHandle<GKeyFile> file(g_key_file_new());
    GError* rawError = nullptr;
    if (!g_key_file_load_from_data(file.get(), text.data(), text.size(), G_KEY_FILE_KEEP_TRANSLATIONS, &rawError)) {
        const GLibHandle<GError> failure(rawError);
        error = failure->message;
        return std::nullopt;
    }
    const std::string header(headerGroup);
    gsize count = 0;
    const GLibHandle<gchar*> entries(
        g_key_file_get_string_list(file.get(), header.c_str(), "DesktopEntries", &count, nullptr));
    Table table;
    for (gsize i = 0; entries && i < count; ++i) {
        std::string id(entries.get()[i]);
        if (id.ends_with(".desktop")) id.resize(id.size() - 8);
        if (!id.empty()) table.desktopEntries.push_back(std::move(id));
    }
    if (table.desktopEntries.empty()) {
        error = "no [Tavlin Shortcuts] group with the desktop entries it describes (DesktopEntries=…)";
        return std::nullopt;
    }

    const GLibHandle<gchar*> groups(g_key_file_get_groups(file.get(), &count));
    for (gsize i = 0; i < count; ++i) {
        const char* group = groups.get()[i];
        if (group == headerGroup) continue;
        if (table.rows.size() == maximumRows) {
            error = "more than " + std::to_string(maximumRows) + " rows";
            return std::nullopt;
        }
        auto groupName = localeString(file.get(), group, "Group", language);
        auto title = localeString(file.get(), group, "Title", language);
        auto keys = localeString(file.get(), group, "Keys", nullptr);
        if (!groupName || groupName->empty() || !title || title->empty() || !keys) {
            error = std::string("row [") + group + "] lacks a Group, a Title or Keys";
            return std::nullopt;
        }
        if (!validKeys(*keys)) {
            error = std::string("row [") + group + "] has keys that are not in the model's notation: \"" + *keys + "\"";
            return std::nullopt;
        }
        table.rows.push_back({std::move(*groupName), std::move(*title), std::move(*keys)});
    }
    return table;
}

std::vector<std::string> ShortcutTableFiles::folders() {
    std::vector<std::string> folders;
    const auto add = [&](const std::filesystem::path& data) { folders.push_back((data / "tavlin/shortcuts").string()); };
    add(g_get_user_data_dir());
    for (const gchar* const* dir = g_get_system_data_dirs(); *dir != nullptr; ++dir) add(*dir);
    std::error_code code;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", code);
    // The program's own prefix: the build's share/ beside its tools, and the share/ two
    // folders above the program in libexec/tavlin/ (built or installed).
    if (!code) {
        add(program.parent_path() / "share");
        add(program.parent_path().parent_path().parent_path() / "share");
    }
    return folders;
}

std::vector<ShortcutTableFiles::Row> ShortcutTableFiles::forDesktopEntries(const std::vector<std::string>& ids) {
    return ids.empty() ? std::vector<Row>{} : forDesktopEntries(ids, folders());
}

std::vector<ShortcutTableFiles::Row> ShortcutTableFiles::forDesktopEntries(const std::vector<std::string>& ids,
                                                                           const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        for (const auto& path : tableFiles(folder)) {
            std::string error;
            const auto text = readSmallFile(path, error);
            const auto table = text ? parse(*text, nullptr, error) : std::nullopt;
            if (!table) {
                g_log(TABLES_DOMAIN, G_LOG_LEVEL_WARNING, "the shortcut table %s is skipped: %s", path.c_str(),
                      error.c_str());
                continue;
            }
            for (const std::string& id : ids)
                if (std::find(table->desktopEntries.begin(), table->desktopEntries.end(), id) !=
                    table->desktopEntries.end())
                    return table->rows;
        }
    }
    return {};
}

} // namespace tavlin::platform
