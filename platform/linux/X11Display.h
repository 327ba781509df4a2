#pragma once

#include <xcb/xcb.h>

namespace tavlin::platform {

// Qt's own connection to the X server and its root window. Every X11 adapter works on
// this one connection, so that its events arrive through Qt's event loop.
struct X11Display {
    // Null when the program does not run on an X11 display.
    static xcb_connection_t* connection();
    static xcb_window_t rootWindow();
};

} // namespace tavlin::platform
