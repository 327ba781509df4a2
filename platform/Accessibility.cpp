#include "platform/Accessibility.h"

#include <cmath>
#include <limits>

namespace tavlin::platform {

std::int64_t AXNumber::integerValue() const {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
    const double number = std::get<double>(value);
    if (std::isnan(number)) return 0;
    // 2^63 is exactly representable; anything at or beyond it saturates.
    constexpr double limit = 9223372036854775808.0;
    if (number >= limit) return std::numeric_limits<std::int64_t>::max();
    if (number < -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(std::trunc(number));
}

bool AXNumber::boolValue() const {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer != 0;
    return std::get<double>(value) != 0.0; // NaN is not zero, so it is true
}

} // namespace tavlin::platform
