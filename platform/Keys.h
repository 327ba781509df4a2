#pragma once

#include <array>
#include <cstdint>

namespace tavlin::platform {

// The numbers the ports speak about keys: virtual key codes (the hot keys, the key-down
// monitor and a menu item's key equivalent), the hot-key modifier mask and the modifier
// bits of a menu item's key equivalent. Each adapter translates its desktop's keys into
// these; nothing else writes them as literals.
struct Keys {
    // Virtual key codes of the keys the program names.
    struct Code {
        static constexpr std::uint16_t returnKey = 36, tab = 48, space = 49, backspace = 51, escape = 53,
                                       home = 115, pageUp = 116, forwardDelete = 117, end = 119, pageDown = 121,
                                       left = 123, right = 124, down = 125, up = 126;
        // F1 to F20, in order.
        static constexpr std::array<std::uint16_t, 20> function{122, 120, 99,  118, 96,  97,  98,  100, 101, 109,
                                                                103, 111, 105, 107, 113, 106, 64,  79,  80,  90};
        // A named key that has no symbol or name of its own: in none of the above.
        static constexpr std::uint16_t unlisted = 255;
    };

    // Bits of a hot key's modifier mask.
    struct HotKeyModifier {
        static constexpr std::uint32_t command = 256, shift = 512, option = 2048, control = 4096;
        static constexpr std::uint32_t all = command | shift | option | control;
    };

    // Modifier bits of a menu item's key equivalent. Command is implied unless noCommand is set.
    struct MenuModifier {
        static constexpr std::int64_t shift = 1, option = 2, control = 4, noCommand = 8;
    };
};

} // namespace tavlin::platform
