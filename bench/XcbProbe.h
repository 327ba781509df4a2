#pragma once

// What the desktop benchmarks ask the X server, shared by their drivers.

#include "platform/linux/common/XcbReply.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <memory>

namespace tavlin::bench {

using platform::XcbReply;

// Whether the window is mapped and all its ancestors are.
inline bool viewable(xcb_connection_t* c, xcb_window_t window) {
    XcbReply<xcb_get_window_attributes_reply_t> a(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
}

// The first key code of a key symbol on this server, or 0.
inline xcb_keycode_t keycodeOf(xcb_connection_t* c, xcb_keysym_t sym) {
    std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols(xcb_key_symbols_alloc(c),
                                                                                 &xcb_key_symbols_free);
    XcbReply<xcb_keycode_t> codes(xcb_key_symbols_get_keycode(symbols.get(), sym));
    return codes ? codes.get()[0] : 0;
}

} // namespace tavlin::bench
