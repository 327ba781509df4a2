#pragma once

#include "platform/Accessibility.h"
#include "platform/linux/atspi/model/KeyEquivalent.h"

#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform::atspi {

// One element of a menu bar snapshot: answers the scanner's reads from values taken
// in one scan, without going back to the application.
//
// An item's key equivalent is its shortcut's first chord, in the four "AXMenuItemCmd…"
// attributes; the chords that follow it in a key sequence ("Ctrl+T, O") are the list
// "AXMenuItemCmdFollowingChords", one element per chord answering the same four.
class SnapshotElement : public AXElement {
public:
    struct Values {
        std::optional<std::string> title;   // absent for menus and the menu bar
        std::optional<bool> enabled;        // absent for menus and the menu bar
        std::vector<KeyEquivalent> keys;    // the shortcut's chords; empty without one
        std::vector<AXElementRef> children;
    };

    explicit SnapshotElement(Values values);

    AXReadResult copyAttributeValue(std::string_view attribute) const override;

private:
    const Values values_;
    std::vector<AXElementRef> followingChords_;
};

} // namespace tavlin::platform::atspi
