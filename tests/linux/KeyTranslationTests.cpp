// The translation between the delegate's virtual key codes and modifier masks and X's.
#include "platform/linux/hotkeys/HotKeyKeys.h"
#include "platform/linux/hotkeys/XcbHotKeys.h"
#include "platform/linux/x11/XInputKeyMonitor.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

using tavlin::platform::HotKeyKeys;
using tavlin::platform::XcbHotKeys;
using tavlin::platform::XInputKeyMonitor;

TEST(KeyTranslation, HotKeyModifiersFollowTheKeyNotation) {
    struct Case {
        std::uint32_t modifiers;
        std::optional<std::uint16_t> mask;
    } cases[] = {
        {2048, XCB_MOD_MASK_1},                              // Option is Alt
        {4096, XCB_MOD_MASK_4},                              // Control is Super
        {256 | 512 | 2048, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_1},
        {1024, std::nullopt},                                // Caps Lock: no hot key modifier
    };
    for (const auto& c : cases) EXPECT_EQ(XcbHotKeys::modifierMask(c.modifiers), c.mask) << c.modifiers;
    // The same mapping where a refused grab names the combination.
    EXPECT_EQ(HotKeyKeys::combination(49, 2048), "Alt+Space");
    EXPECT_EQ(HotKeyKeys::combination(53, 256 | 512 | 4096), "Ctrl+Shift+Super+Escape");
}

TEST(KeyTranslation, OnlyEscapeIsKeyCode53) {
    EXPECT_EQ(XInputKeyMonitor::virtualKeyCode(XK_Escape, 9), 53);
    // X keycode 53 is "x" on the usual layouts: it must not read as Escape.
    EXPECT_EQ(XInputKeyMonitor::virtualKeyCode(XK_x, 53), 256 + 53);
    EXPECT_EQ(XInputKeyMonitor::virtualKeyCode(XK_space, 65), 49);
    for (int keycode = 8; keycode < 256; ++keycode)
        EXPECT_NE(XInputKeyMonitor::virtualKeyCode(0, static_cast<std::uint8_t>(keycode)), 53) << keycode;
}
