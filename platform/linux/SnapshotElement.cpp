#include "platform/linux/SnapshotElement.h"

namespace tavlin::platform::atspi {
namespace {

AXReadResult found(AXValue value) { return AXReadResult{0, std::move(value)}; }
AXReadResult missing() { return AXReadResult{AXError::noValue, std::nullopt}; }
AXReadResult number(std::int64_t value) { return found(AXValue{AXNumber{value}}); }

} // namespace

AXReadResult SnapshotElement::copyAttributeValue(std::string_view attribute) const {
    if (attribute == "AXChildren") {
        AXValueList list;
        list.reserve(values_.children.size());
        for (const AXElementRef& child : values_.children) list.push_back(AXValue{child});
        return found(AXValue{std::move(list)});
    }
    if (attribute == "AXTitle") return values_.title ? found(AXValue{*values_.title}) : missing();
    if (attribute == "AXEnabled") return values_.enabled ? number(*values_.enabled ? 1 : 0) : missing();
    const std::optional<KeyEquivalent>& key = values_.key;
    if (attribute == "AXMenuItemCmdChar")
        return key && !key->character.empty() ? found(AXValue{key->character}) : missing();
    if (attribute == "AXMenuItemCmdGlyph") return missing();
    if (attribute == "AXMenuItemCmdVirtualKey") return key && key->virtualKey ? number(*key->virtualKey) : missing();
    if (attribute == "AXMenuItemCmdModifiers") return key ? number(key->modifiers) : missing();
    return AXReadResult{AXError::attributeUnsupported, std::nullopt};
}

} // namespace tavlin::platform::atspi
