#pragma once

#include "platform/Accessibility.h"

namespace tavlin::platform {

// Typed reads over AXElement::copyAttributeValue. None of them fails: a failed read,
// a missing value or a value of another kind gives the empty or absent result.
struct AXRead {
    // The elements of a list, in order; values of the list that are not elements are skipped.
    static std::vector<AXElementRef> elements(const AXElement& element, std::string_view attribute);
    static std::optional<std::int64_t> integer(const AXElement& element, std::string_view attribute);
    static std::optional<std::string> text(const AXElement& element, std::string_view attribute);
    static std::optional<bool> boolean(const AXElement& element, std::string_view attribute);
    // Absent on failure, without a value, or with a value that is not an element.
    static AXElementRef element(const AXElement& element, std::string_view attribute);
};

} // namespace tavlin::platform
