#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// Tables of shortcuts for applications that give nothing to read (no menu bar, no
// shortcuts window of their own), kept as files beside the program and the user's data.
//
// A table is a key file (the syntax of desktop entries, read with GLib's GKeyFile): a
// group [Tavlin Shortcuts] whose DesktopEntries lists the desktop entry ids it describes,
// then one group a row, in the order shown, each with Group, Title (both localizable as
// Group[ja]=…) and Keys in the model's notation ("⇧⌘T"; a sequence as chords joined by
// ", "). A file that breaks any of this is reported and skipped as a whole.
struct ShortcutTableFiles {
    struct Row {
        std::string group, title, keys; // keys in the model's notation, texts in the user's language

        friend bool operator==(const Row&, const Row&) = default;
    };
    struct Table {
        std::vector<std::string> desktopEntries;
        std::vector<Row> rows;
    };

    // A file larger than this is refused without being read, and so is a table of more rows.
    static constexpr std::size_t maximumFileSize = 256 * 1024;
    static constexpr std::size_t maximumRows = 500;
    // The name every table file ends with.
    static constexpr std::string_view fileSuffix = ".shortcuts";

    // The rows of the first table that names one of these desktop entry ids (without
    // ".desktop"): the user's tables ($XDG_DATA_HOME/tavlin/shortcuts) first, then each of
    // $XDG_DATA_DIRS/tavlin/shortcuts in its order, then those of the running program's
    // own prefix (the build's share/tavlin/shortcuts); the files of a folder in the order of
    // their names. Empty when none names one. Bad files are reported on stderr and skipped.
    static std::vector<Row> forDesktopEntries(const std::vector<std::string>& desktopEntryIds);
    // The same over these folders, in this order.
    static std::vector<Row> forDesktopEntries(const std::vector<std::string>& desktopEntryIds,
                                              const std::vector<std::string>& folders);

    // The folders searched, in order.
    static std::vector<std::string> folders();

    // One table's text, its texts in `language` (a locale name such as "ja_JP.UTF-8";
    // none: the user's languages). None, with the reason in `error`, when the text is no
    // valid table.
    static std::optional<Table> parse(std::string_view text, const char* language, std::string& error);

    // Whether `keys` is a key text of the model's notation: modifier symbols ⌃ ⌥ ⇧ ⌘, each
    // at most once and in that order, then one key (a character that upper-casing leaves
    // as it is, "Space", "Print", or "F1" to "F20"); a sequence is up to four such chords joined by ", ".
    static bool validKeys(std::string_view keys);
};

} // namespace tavlin::platform
