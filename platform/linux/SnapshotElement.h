#pragma once

#include "platform/Accessibility.h"
#include "platform/linux/KeyEquivalent.h"

#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform::atspi {

// One element of a menu bar snapshot: answers the scanner's reads from values taken
// in one scan, without going back to the application.
class SnapshotElement : public AXElement {
public:
    struct Values {
        std::optional<std::string> title;   // absent for menus and the menu bar
        std::optional<bool> enabled;        // absent for menus and the menu bar
        std::optional<KeyEquivalent> key;   // absent without a key equivalent
        std::vector<AXElementRef> children;
    };

    explicit SnapshotElement(Values values) : values_(std::move(values)) {}

    AXReadResult copyAttributeValue(std::string_view attribute) const override;

private:
    const Values values_;
};

} // namespace tavlin::platform::atspi
