#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavlin::platform {

// A key combination as an application describes it: the command character or a virtual
// key code, and the menu-item modifier bits (both as platform/Keys.h names them). The
// core writes it in the model's key notation.
struct KeyEquivalent {
    std::string character;                  // empty when the key is a named key
    std::optional<std::int64_t> virtualKey; // set when the key is a named key
    std::int64_t modifiers = 0;

    friend bool operator==(const KeyEquivalent&, const KeyEquivalent&) = default;
};

} // namespace tavlin::platform
