#include "platform/linux/x11/X11Compositing.h"

#include "platform/linux/common/X11Display.h"
#include "platform/linux/common/XcbReply.h"

#include <string>

namespace tavlin::platform {

namespace {

// The number of the X screen whose root window holds the window, or -1.
int screenOf(xcb_connection_t* c, xcb_window_t window) {
    XcbReply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    if (!geometry) return -1;
    const xcb_window_t root = geometry->root;
    int number = 0;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it), ++number) {
        if (it.data->root == root) return number;
    }
    return -1;
}

} // namespace

X11Compositing::X11Compositing(xcb_window_t window) : connection_(X11Display::connection()) {
    if (!connection_) return;
    const int screen = screenOf(connection_, window);
    if (screen >= 0) selection_ = X11Display::atom(connection_, "_NET_WM_CM_S" + std::to_string(screen));
}

bool X11Compositing::active() const {
    if (!connection_ || selection_ == XCB_ATOM_NONE) return true;
    XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection_, xcb_get_selection_owner(connection_, selection_), nullptr));
    return !owner || owner->owner != XCB_WINDOW_NONE;
}

} // namespace tavlin::platform
