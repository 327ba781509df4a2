#pragma once

#include "TavlinUI/ShortcutItem.h"
#include "platform/Accessibility.h"

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

private:
    struct Collector;
    // Appends the rows of the element's children, and of theirs down to the depth bound.
    static void collect(const platform::AXElement& element, const std::string& group, int depth,
                        Collector& into);
    // Appends the row of one menu item, when it is enabled, titled and has a key equivalent.
    static void addRow(const platform::AXElement& item, const std::string& group, Collector& into);
    // One chord of an element's key equivalent in the model's notation; absent without a key.
    static std::optional<std::string> chord(const platform::AXElement& element);
};

} // namespace tavlin
