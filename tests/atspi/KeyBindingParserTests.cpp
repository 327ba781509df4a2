#include "Tavlin/KeyNotation.h"
#include "platform/linux/atspi/model/KeyBindingParser.h"

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::platform::atspi;

namespace {

// The keys the overlay shows for a binding, or "-" when the binding has no shortcut.
std::string shown(std::string_view binding, std::string_view itemName = "Item") {
    const std::vector<KeyEquivalent> chords = KeyBindingParser::parse(binding, itemName);
    if (chords.empty()) return "-";
    std::string keys;
    for (const KeyEquivalent& key : chords) {
        const std::optional<std::string> part = KeyNotation::keyPart(key.character, std::nullopt, key.virtualKey);
        if (!keys.empty()) keys += KeyNotation::chordSeparator;
        keys += KeyNotation::prefix(key.modifiers) + part.value_or("?");
    }
    return keys;
}

struct Case {
    const char* binding;
    const char* itemName;
    const char* keys;
};

TEST(KeyBindingParser, GtkMnemonicPathShortcutUsesTheShortcutField) {
    const Case cases[] = {
        {"n;;<Primary>n", "New", "⌘N"},
        {"b;<Alt>p:b;<Primary><Shift>b", "Bold", "⇧⌘B"},
        {"o;;", "Open", "-"},                          // a mnemonic only
        {"<Alt>p;<Alt>p;", "Preferences", "-"},        // a top-level menu's mnemonic
        {";;", "", "-"},
        {"", "Separator", "-"},
        {"q;;<Control>q", "Quit", "⌘Q"},
        {"x;;<Ctrl><Alt>Delete", "Log out", "⌥⌘⌦"},
        {"f;;F11", "Fullscreen", "F11"},                // no Ctrl: no Command
        {"s;;<Shift>F3", "Find previous", "⇧F3"},
        {"h;;<Super>h", "Hide", "⌃H"},
        {"h;;<Meta><Hyper>h", "Hide", "⌃H"},
        {"p;;<Primary>comma", "Preferences", "⌘,"},
        {"i;;<Primary>plus", "Zoom in", "⌘+"},
        {"k;;<Primary>bracketleft", "Back", "⌘["},
        {"z;;<Primary>KP_Add", "Zoom", "⌘+"},
        {"z;;<Primary>KP_7", "Zoom", "⌘7"},
        {"t;;<Primary>KP_Enter", "Run", "⌘↩"},
        {"t;;F21", "Beyond", "⌨"},                     // named keys without a symbol
        {"t;;<Primary>Insert", "Insert", "⌘⌨"},
        {"t;;<Primary>Linefeed", "Line", "⌘⌨"},        // a control character is no symbol
        // Letters outside ASCII, by their key names, upper-cased like ASCII letters.
        {"t;;<Primary>eacute", "Accent", "⌘É"},
        {"t;;<Primary>udiaeresis", "Umlaut", "⌘Ü"},
        {"t;;<Primary><Shift>Udiaeresis", "Umlaut", "⇧⌘Ü"},
        {"t;;<Primary>Cyrillic_ze", "Ze", "⌘З"},
        {"t;;<Primary>EuroSign", "Euro", "⌘€"},
        {"t;;<Primary>é", "Accent", "⌘É"},
        {"t;;<Release><Primary>w", "Close", "⌘W"},    // modifiers without a key bit
        {"t;;<Primary>", "Broken", "-"},
        {"<Primary>q", "Quit", "⌘Q"},                 // a bare accelerator
    };
    for (const Case& c : cases) EXPECT_EQ(shown(c.binding, c.itemName), c.keys) << c.binding;
}

TEST(KeyBindingParser, QtPortableTextAndItsMnemonicFallback) {
    const Case cases[] = {
        {"Ctrl+N", "New", "⌘N"},
        {"Ctrl+Shift+R", "Reload", "⇧⌘R"},
        {"Ctrl+Alt+Shift+Meta+X", "All", "⌃⌥⇧⌘X"},
        {"Ctrl++", "Zoom in", "⌘+"},
        {"Ctrl+,", "Preferences", "⌘,"},
        {"Shift+Del", "Delete", "⇧⌦"},
        {"Ctrl+PgUp", "Previous", "⌘⇞"},
        {"Esc", "Cancel", "⎋"},
        {"Return", "Go", "↩"},
        {"Enter", "Go", "↩"},
        {"Ctrl+Space", "Complete", "⌘Space"},
        {"Backspace", "Erase", "⌫"},
        {"Ctrl+Home", "Start", "⌘↖"},
        {"F5", "Refresh", "F5"},
        {"Ctrl+Num++", "Zoom", "⌘+"},
        {"Ctrl+Ins", "Copy", "⌘⌨"},
        {"Shift+Backtab", "Previous", "⇧⇥"},
        {"Ctrl+Ü", "Overview", "⌘Ü"},
        {"Meta+Q", "Quit", "⌃Q"},
        // "Alt+" and one character of the item's name: Qt's mnemonic, sent in place of
        // a missing shortcut, upper-cased, with the "&" taken out of the name.
        {"Alt+A", "Save As...", "-"},
        {"Alt+f", "File", "-"},
        {"Alt+1", "1 Recent", "-"},
        {"Alt+ü", "Menü", "-"},                       // as Qt 6 writes "Men&ü"
        {"Alt+.", "Zoom 1.5", "-"},
        // Alt with a character the name doesn't hold, or with more than one, is a shortcut.
        {"Alt+X", "Save As...", "⌥X"},
        {"Alt+2", "1 Recent", "⌥2"},
        {"Alt+F4", "Close", "⌥F4"},
        {"Alt+Shift+A", "Save As...", "⌥⇧A"},
        {"Ctrl+A", "Select All", "⌘A"},
    };
    for (const Case& c : cases) EXPECT_EQ(shown(c.binding, c.itemName), c.keys) << c.binding;
}

TEST(KeyBindingParser, ASequenceIsKeptWholeOrNotAtAll) {
    const Case cases[] = {
        {"Ctrl+T, O", "Open Folder", "⌘T, O"},         // Kate's: a lone letter as a later step
        {"Ctrl+K, Ctrl+C", "Comment", "⌘K, ⌘C"},
        {"Ctrl+,, Ctrl+A", "Odd", "⌘,, ⌘A"},
        {"Ctrl+K, ,", "Odd", "⌘K, ,"},
        {"Ctrl+X, Ctrl+Alt+Shift+Meta+F12, Esc, Space", "Four", "⌘X, ⌃⌥⇧⌘F12, ⎋, Space"},
        {"Alt+A, B", "Save As", "⌥A, B"},                // a sequence is never the mnemonic
        // A step that names no key spoils the whole sequence: never cut to its first chord.
        {"Ctrl+K, Bogus", "Comment", "-"},
        {"Ctrl+K, ", "Comment", "-"},
        {"Ctrl+K, Ctrl+", "Comment", "-"},
        {"A, B, C, D, E", "Five", "-"},                 // longer than any key sequence
    };
    for (const Case& c : cases) EXPECT_EQ(shown(c.binding, c.itemName), c.keys) << c.binding;
}

// Text that names no key is no key binding: no row is better than a wrong key.
TEST(KeyBindingParser, TextThatNamesNoKeyGivesNoShortcut) {
    const Case cases[] = {
        {" ", "Space", "-"},                            // a bare space: toolkits name that key
        {"\t", "Tab", "-"},
        {"Ctrl+ ", "Space", "-"},
        {"t;;<Primary> ", "Insert Space", "-"},
        {"t;;<Control>\t", "Tab", "-"},
        {"t;;\x01", "Odd", "-"},
        {"t;;<Primary>NoSuchKeyName", "Odd", "-"},
        {"Foo+X", "Odd", "-"},
        {"Ctrl+", "Odd", "-"},
        {"t;;<Primary>\xc3", "Broken", "-"},         // not UTF-8
    };
    for (const Case& c : cases) EXPECT_EQ(shown(c.binding, c.itemName), c.keys) << c.binding;
}

// Each named key of the key tables, as the model writes it; any other, as a key all the same.
TEST(KeyBindingParser, NamedKeysBecomeTheKeysOfTheKeyTables) {
    const std::pair<const char*, const char*> cases[] = {
        {"Return", "⌘↩"}, {"Tab", "⌘⇥"},       {"space", "⌘Space"}, {"BackSpace", "⌘⌫"}, {"Escape", "⌘⎋"},
        {"Home", "⌘↖"},   {"Page_Up", "⌘⇞"},   {"Delete", "⌘⌦"},    {"End", "⌘↘"},       {"Page_Down", "⌘⇟"},
        {"Left", "⌘←"},   {"Right", "⌘→"},     {"Down", "⌘↓"},      {"Up", "⌘↑"},        {"F1", "⌘F1"},
        {"F2", "⌘F2"},    {"F10", "⌘F10"},     {"F17", "⌘F17"},     {"F20", "⌘F20"},     {"Menu", "⌘⌨"},
    };
    for (const auto& [name, keys] : cases) EXPECT_EQ(shown(std::string("t;;<Primary>") + name), keys) << name;
}

} // namespace
