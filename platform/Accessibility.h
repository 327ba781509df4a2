#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavlin::platform {

class AXElement;
using AXElementRef = std::shared_ptr<const AXElement>;

// A number as the accessibility service reports it.
struct AXNumber {
    std::variant<std::int64_t, double> value;
    std::int64_t integerValue() const; // a double truncates toward zero, saturating
    bool boolValue() const;            // zero is false, anything else true
};

struct AXValue;
using AXValueList = std::vector<AXValue>;
struct AXValue {
    std::variant<AXElementRef, AXValueList, std::string, AXNumber> value;
};

// Failure statuses of an attribute read.
struct AXError {
    static constexpr std::int32_t cannotComplete = -25204;       // the element could not be reached
    static constexpr std::int32_t attributeUnsupported = -25205; // the element has no such attribute
    static constexpr std::int32_t noValue = -25212;              // the attribute is there but has no value
};

struct AXReadResult {
    std::int32_t status = 0;      // 0 is success, anything else failure
    std::optional<AXValue> value; // may be absent even on success
};

// One element of another application's accessibility tree.
class AXElement {
public:
    virtual ~AXElement() = default;
    // Reads one attribute; never throws.
    virtual AXReadResult copyAttributeValue(std::string_view attribute) const = 0;
};

// The desktop's accessibility interface.
class AccessibilityService {
public:
    virtual ~AccessibilityService() = default;
    // The top element of the application with this process id; reads fail when it can't be reached.
    virtual AXElementRef createApplication(std::int32_t pid) = 0;
    // Whether this process may read other applications.
    virtual bool isProcessTrusted() = 0;
    // The same, asking the desktop to grant it first when `prompt` is true.
    virtual bool isProcessTrustedWithOptions(bool prompt) = 0;
};

} // namespace tavlin::platform
