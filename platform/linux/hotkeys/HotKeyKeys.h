#pragma once

#include <cstdint>
#include <string>

namespace tavlin::platform {

// The keys a hot key may be on, whatever takes it (an X grab, the desktop's portal): their
// key symbols and the names the desktop writes them with.
struct HotKeyKeys {
    // The key symbol (X and xkbcommon share them) of a virtual key code, 0 for none.
    static std::uint32_t keysym(std::uint32_t keyCode);
    // A key combination as the desktop writes it ("Alt+Space").
    static std::string combination(std::uint32_t keyCode, std::uint32_t modifiers);
};

} // namespace tavlin::platform
