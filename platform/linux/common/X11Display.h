#pragma once

#include <xcb/xcb.h>

#include <optional>
#include <string>
#include <string_view>

namespace tavlin::platform {

// Qt's own connection to the X server and its root window. Every X11 adapter works on
// this one connection, so that its events arrive through Qt's event loop.
struct X11Display {
    // Null when the program does not run on an X11 display.
    static xcb_connection_t* connection();
    static xcb_window_t rootWindow();
    // The atom of `name` on `connection`, interned when new; XCB_ATOM_NONE when the server
    // does not answer.
    static xcb_atom_t atom(xcb_connection_t* connection, std::string_view name);
    // Before Qt starts: one line saying why no X11 display can be reached, or nothing
    // when one answers. Qt gives up on a missing display by aborting.
    static std::optional<std::string> unreachable();
};

} // namespace tavlin::platform
