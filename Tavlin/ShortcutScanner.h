#pragma once

#include "TavlinUI/ShortcutItem.h"
#include "platform/Accessibility.h"
#include "platform/RowBudget.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavlin {

// Reads the menu bar of a running application into overlay rows: every enabled,
// titled item with a key equivalent, in the top-level menus and their direct submenus.
// An item's key equivalent is a chord ("AXMenuItemCmd…"), followed, for a key
// sequence, by the chords of "AXMenuItemCmdFollowingChords", each an element that
// answers the same attributes; the row's keys are the chords in the model's notation,
// joined by KeyNotation::chordSeparator ("⌘T, O").
struct ShortcutScanner {
    static constexpr int depthBound = 3;
    static constexpr std::size_t resultCap = 80;

    static std::vector<ShortcutItem> shortcuts(platform::AccessibilityService& ax, std::int32_t pid);
    // What a reader of the menu bar needs to know to stop once the scan's rows are in:
    // `resultCap` rows, told apart as the scan tells them (repeats dropped by title and
    // keys, the items of an untitled top-level menu passed over).
    static platform::RowBudget rowBudget();

private:
    struct Collector;
    // A row's identity for dropping repeats: its title and keys in canonical form, kept
    // as a pair so that no title can run into the keys.
    struct Identity {
        std::string title, keys;
        friend bool operator==(const Identity&, const Identity&) = default;
        struct Hash {
            std::size_t operator()(const Identity& identity) const;
        };
    };
    // The row an item gives, with its identity: two rows are one when their identities
    // are equal.
    struct Row {
        std::string title, keys;
        Identity identity;
    };
    // The group of a top-level menu's rows; none when its rows are passed over.
    static std::optional<std::string> group(const platform::AXElement& topLevel);
    // Appends the rows of the element's children, and of theirs down to the depth bound.
    static void collect(const platform::AXElement& element, const std::string& group, int depth,
                        Collector& into);
    // The row of one menu item, when it is enabled, titled and has a key equivalent.
    static std::optional<Row> row(const platform::AXElement& item);
    // One chord of an element's key equivalent in the model's notation; absent without a key.
    static std::optional<std::string> chord(const platform::AXElement& element);
};

} // namespace tavlin
