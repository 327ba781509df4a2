#include "platform/AXRead.h"

namespace tavlin::platform {
namespace {

// The value of a successful read, if any.
const AXValue* valueOf(const AXReadResult& result) {
    if (result.status != 0 || !result.value) return nullptr;
    return &*result.value;
}

} // namespace

std::vector<AXElementRef> AXRead::elements(const AXElement& element, std::string_view attribute) {
    const AXReadResult result = element.copyAttributeValue(attribute);
    std::vector<AXElementRef> elements;
    const AXValue* value = valueOf(result);
    if (value == nullptr) return elements;
    const auto* list = std::get_if<AXValueList>(&value->value);
    if (list == nullptr) return elements;
    elements.reserve(list->size());
    for (const AXValue& item : *list)
        if (const auto* child = std::get_if<AXElementRef>(&item.value); child != nullptr && *child)
            elements.push_back(*child);
    return elements;
}

std::optional<std::int64_t> AXRead::integer(const AXElement& element, std::string_view attribute) {
    const AXReadResult result = element.copyAttributeValue(attribute);
    const AXValue* value = valueOf(result);
    if (value == nullptr) return std::nullopt;
    if (const auto* number = std::get_if<AXNumber>(&value->value)) return number->integerValue();
    return std::nullopt;
}

std::optional<std::string> AXRead::text(const AXElement& element, std::string_view attribute) {
    AXReadResult result = element.copyAttributeValue(attribute);
    if (result.status != 0 || !result.value) return std::nullopt;
    if (auto* text = std::get_if<std::string>(&result.value->value)) return std::move(*text);
    return std::nullopt;
}

std::optional<bool> AXRead::boolean(const AXElement& element, std::string_view attribute) {
    const AXReadResult result = element.copyAttributeValue(attribute);
    const AXValue* value = valueOf(result);
    if (value == nullptr) return std::nullopt;
    if (const auto* number = std::get_if<AXNumber>(&value->value)) return number->boolValue();
    return std::nullopt;
}

AXElementRef AXRead::element(const AXElement& element, std::string_view attribute) {
    const AXReadResult result = element.copyAttributeValue(attribute);
    const AXValue* value = valueOf(result);
    if (value == nullptr) return nullptr;
    if (const auto* found = std::get_if<AXElementRef>(&value->value)) return *found;
    return nullptr;
}

} // namespace tavlin::platform
