#pragma once

#include <xcb/xcb.h>

namespace tavlin::platform {

// Whether a compositing manager runs on the X11 screen of a window, that is whether
// someone owns the screen's _NET_WM_CM_S<n> selection. Without one, the transparent
// parts of a window show up black. Made for one X window: the screen's selection is
// looked up once; each question then costs one round trip, since a compositing manager
// may start or stop at any time. Always true on other platforms (Wayland, offscreen),
// where translucent windows are composited anyway.
class X11Compositing {
public:
    explicit X11Compositing(xcb_window_t window);

    bool active() const;

private:
    xcb_connection_t* connection_ = nullptr;
    xcb_atom_t selection_ = XCB_ATOM_NONE;
};

} // namespace tavlin::platform
