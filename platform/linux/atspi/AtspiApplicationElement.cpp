#include "platform/linux/atspi/AtspiApplicationElement.h"

namespace tavlin::platform::atspi {

AXReadResult AtspiApplicationElement::copyAttributeValue(std::string_view attribute) const {
    if (attribute != "AXMenuBar") return AXReadResult{AXError::attributeUnsupported, std::nullopt};
    if (AXElementRef menuBar = readMenuBar_()) return AXReadResult{0, AXValue{std::move(menuBar)}};
    return AXReadResult{AXError::cannotComplete, std::nullopt};
}

} // namespace tavlin::platform::atspi
