// The window system's floor for a hot-key overlay: a plain X window, dark and the size of
// Tavlin's overlay, mapped and unmapped by Alt+Space, drawn by the X server alone (its
// background). What tavlin_hotkey_latency measures over it is what any overlay pays before
// its own work: the key's way to the client and the window manager's mapping.
//
//   tavlin_trivial_toggler       prints the window's id, then toggles it until killed

#include "bench/XcbProbe.h"

#include <xcb/xcb.h>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

int main() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "tavlin_trivial_toggler: no X display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const std::uint16_t width = std::min<std::uint16_t>(1000, screen->width_in_pixels);
    const std::uint16_t height = std::min<std::uint16_t>(640, screen->height_in_pixels);
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t values[] = {0x202020u, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root,
                      static_cast<std::int16_t>((screen->width_in_pixels - width) / 2),
                      static_cast<std::int16_t>((screen->height_in_pixels - height) / 2), width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

    const xcb_keycode_t space = tavlin::bench::keycodeOf(c, XK_space);
    if (!space) return 1;
    // Alt+Space with and without Caps Lock and Num Lock.
    for (int locks : {0, int{XCB_MOD_MASK_LOCK}, int{XCB_MOD_MASK_2}, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2})
        xcb_grab_key(c, 1, screen->root, static_cast<std::uint16_t>(XCB_MOD_MASK_1 | locks), space,
                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_flush(c);
    std::printf("%u\n", window);
    std::fflush(stdout);

    bool shown = false;
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7f) == XCB_KEY_PRESS) {
            shown = !shown;
            if (shown)
                xcb_map_window(c, window);
            else
                xcb_unmap_window(c, window);
            xcb_flush(c);
        }
        std::free(event);
    }
    return 0;
}
