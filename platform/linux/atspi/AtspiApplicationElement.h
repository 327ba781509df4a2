#pragma once

#include "platform/Accessibility.h"

#include <functional>
#include <optional>

namespace tavlin::platform::atspi {

// The top element of one application on the accessibility bus. Its "AXMenuBar" is read
// afresh at every read, in bulk, into a snapshot that answers the reads of the menus
// below it; nothing is kept from one read to the next.
class AtspiApplicationElement : public AXElement {
public:
    // `readMenuBar` reads the application's menu bar, or gives null when it can't.
    explicit AtspiApplicationElement(std::function<AXElementRef()> readMenuBar) : readMenuBar_(std::move(readMenuBar)) {}

    AXReadResult copyAttributeValue(std::string_view attribute) const override;

private:
    const std::function<AXElementRef()> readMenuBar_;
};

} // namespace tavlin::platform::atspi
