#pragma once

#include <atspi/atspi-constants.h>

#include <cstdint>
#include <string>
#include <unordered_map>

namespace tavlin::platform::atspi {

// What one accessible object says about itself, as far as it was read.
struct AtspiDetails {
    bool known = false;
    std::string name;
    std::uint32_t role = ATSPI_ROLE_INVALID;
    std::uint64_t states = 0;
    bool statesKnown = false;
    std::string parent; // path of the parent on the same bus, when known
    int index = -1;     // place among the parent's children; -1 when unknown

    bool has(AtspiStateType state) const { return (states >> state) & 1U; }
    // Objects by path, as the toolkit's cache tells them.
    using ByPath = std::unordered_map<std::string, AtspiDetails>;
};

} // namespace tavlin::platform::atspi
