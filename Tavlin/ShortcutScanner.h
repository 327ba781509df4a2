#pragma once

#include "TavlinUI/ShortcutItem.h"
#include "platform/Accessibility.h"

#include <cstdint>
#include <vector>

namespace tavlin {

// Reads the menu bar of a running application into overlay rows: every enabled,
// titled item with a key equivalent, in the top-level menus and their direct submenus.
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
};

} // namespace tavlin
