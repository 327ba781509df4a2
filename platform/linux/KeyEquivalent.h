#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavlin::platform::atspi {

// A menu item's key equivalent in the terms the scanner reads: the command character
// or a virtual key code, and the menu-item modifier bits (both as platform/Keys.h names them).
struct KeyEquivalent {
    std::string character;                  // empty when the key is a named key
    std::optional<std::int64_t> virtualKey; // set when the key is a named key
    std::int64_t modifiers = 0;

    friend bool operator==(const KeyEquivalent&, const KeyEquivalent&) = default;
};

} // namespace tavlin::platform::atspi
