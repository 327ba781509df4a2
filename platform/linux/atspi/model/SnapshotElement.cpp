#include "platform/linux/atspi/model/SnapshotElement.h"

namespace tavlin::platform::atspi {
namespace {

AXReadResult found(AXValue value) { return AXReadResult{0, std::move(value)}; }
AXReadResult missing() { return AXReadResult{AXError::noValue, std::nullopt}; }
AXReadResult number(std::int64_t value) { return found(AXValue{AXNumber{value}}); }

} // namespace

SnapshotElement::SnapshotElement(Values values) : values_(std::move(values)) {
    for (std::size_t i = 1; i < values_.keys.size(); ++i)
        followingChords_.push_back(std::make_shared<SnapshotElement>(Values{{}, {}, {values_.keys[i]}, {}}));
}

AXReadResult SnapshotElement::copyAttributeValue(std::string_view attribute) const {
    if (attribute == "AXChildren") {
        AXValueList list;
        list.reserve(values_.children.size());
        for (const AXElementRef& child : values_.children) list.push_back(AXValue{child});
        return found(AXValue{std::move(list)});
    }
    if (attribute == "AXTitle") return values_.title ? found(AXValue{*values_.title}) : missing();
    if (attribute == "AXEnabled") return values_.enabled ? number(*values_.enabled ? 1 : 0) : missing();
    const KeyEquivalent* key = values_.keys.empty() ? nullptr : &values_.keys.front();
    if (attribute == "AXMenuItemCmdChar")
        return key && !key->character.empty() ? found(AXValue{key->character}) : missing();
    if (attribute == "AXMenuItemCmdGlyph") return missing();
    if (attribute == "AXMenuItemCmdVirtualKey") return key && key->virtualKey ? number(*key->virtualKey) : missing();
    if (attribute == "AXMenuItemCmdModifiers") return key ? number(key->modifiers) : missing();
    if (attribute == "AXMenuItemCmdFollowingChords") {
        if (followingChords_.empty()) return missing();
        AXValueList list;
        for (const AXElementRef& chord : followingChords_) list.push_back(AXValue{chord});
        return found(AXValue{std::move(list)});
    }
    return AXReadResult{AXError::attributeUnsupported, std::nullopt};
}

} // namespace tavlin::platform::atspi
