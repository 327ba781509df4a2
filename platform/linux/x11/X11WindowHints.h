#pragma once

#include <xcb/xcb.h>

#include <cstdint>

namespace tavlin::platform {

// The overlay window's wishes to an X11 window manager: on every desktop, out of the
// task bar and the pager, above other windows, and not movable. Made for one X window:
// what the requests name (the atoms, the window's root) is asked of the server once, in
// one round trip; the requests themselves wait for no answer. Does nothing on other
// platforms (Wayland, offscreen).
class X11WindowHints {
public:
    explicit X11WindowHints(xcb_window_t window);

    // The X window the hints are for (none on other platforms).
    xcb_window_t window() const { return window_; }
    // Before the window is mapped: sets the window's own properties that the window
    // manager reads when it maps the window.
    void prepare() const;
    // After it is mapped: asks the window manager again, as EWMH wants for mapped windows.
    void request() const;

private:
    struct Atoms {
        xcb_atom_t state = XCB_ATOM_NONE, sticky = XCB_ATOM_NONE, skipTaskbar = XCB_ATOM_NONE,
                   skipPager = XCB_ATOM_NONE, above = XCB_ATOM_NONE, desktop = XCB_ATOM_NONE,
                   motifHints = XCB_ATOM_NONE;
    };
    void sendToRoot(xcb_atom_t type, const std::uint32_t (&data)[5]) const;

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t window_ = XCB_WINDOW_NONE;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    Atoms atoms_;
};

} // namespace tavlin::platform
