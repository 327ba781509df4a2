#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// A GTK shortcuts window as a GtkBuilder UI file describes it (GtkShortcutsWindow →
// GtkShortcutsSection → GtkShortcutsGroup → GtkShortcutsShortcut), read with GLib's
// markup parser. Texts stay as the file has them; the caller translates those marked
// translatable. The file belongs to another program: malformed markup gives what was
// read before the fault, and the limits bound what is read.
struct ShortcutsWindowFile {
    struct Limits {
        std::size_t bytes = 2u << 20;     // the file
        std::size_t shortcuts = 1000;     // shortcuts read, over all groups
        std::size_t textBytes = 4096;     // one property's text; longer texts are dropped
        std::size_t depth = 64;           // nesting of elements
    };
    // A text as the file gives it, and how it is to be translated.
    struct Text {
        std::string text;
        std::string context; // the msgctxt of the translation, empty for none
        bool translatable = false;
        friend bool operator==(const Text&, const Text&) = default;
    };
    // A shortcut with keys: accelerators are GTK's (e.g. "<Primary>n"), one per key the
    // window shows for it ("F5 <Shift>F5" gives two). Gestures, shortcuts bound only to an
    // action name, and hidden ones are left out.
    struct Shortcut {
        Text title;
        std::vector<std::string> accelerators;
        friend bool operator==(const Shortcut&, const Shortcut&) = default;
    };
    struct Group {
        Text title;
        std::vector<Shortcut> shortcuts;
        friend bool operator==(const Group&, const Group&) = default;
    };
    struct Section {
        Text title;
        std::vector<Group> groups;
        friend bool operator==(const Section&, const Section&) = default;
    };

    // Whether the text names a shortcuts window at all, tested without parsing it.
    static bool mentionsShortcutsWindow(std::string_view xml);
    // The sections of the first shortcuts window in the file; none when it holds none.
    static std::vector<Section> read(std::string_view xml, const Limits& limits);
};

} // namespace tavlin::platform
