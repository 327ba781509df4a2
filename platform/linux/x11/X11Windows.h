#pragma once

#include "platform/Image.h"

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform {

// The window manager's view of the top-level windows (EWMH) and the properties that
// applications set on them, read on one xcb connection. Every read is a round trip;
// a missing window or property gives the empty result.
class X11Windows {
public:
    struct WindowClass {
        std::string instance; // WM_CLASS res_name, e.g. "gtk3-demo-application"
        std::string name;     // WM_CLASS res_class, e.g. "Gtk3-demo-application"
    };

    X11Windows(xcb_connection_t* connection, int screen);
    ~X11Windows();
    X11Windows(const X11Windows&) = delete;
    X11Windows& operator=(const X11Windows&) = delete;

    xcb_window_t root() const;
    // Adds property changes of the root window to the events this client receives,
    // keeping whatever it already selected there.
    void watchRootProperties();
    // Whether this property-notify event says that the active window changed.
    bool isActiveWindowChange(const xcb_property_notify_event_t& event) const;

    std::optional<xcb_window_t> activeWindow();
    // The managed windows, topmost first.
    std::vector<xcb_window_t> clientsTopmostFirst();
    std::optional<std::int32_t> pid(xcb_window_t window);
    std::optional<WindowClass> windowClass(xcb_window_t window);
    std::optional<std::string> gtkApplicationId(xcb_window_t window);
    // The icon nearest to `size` pixels square from _NET_WM_ICON, as RGBA, scaled down to
    // fit `size` when bigger.
    std::shared_ptr<const Image> icon(xcb_window_t window, std::uint32_t size);
    // Asks the window manager to activate the window, as a pager would.
    void requestActivation(xcb_window_t window);

private:
    xcb_connection_t* connection_;
    int screen_;
    xcb_ewmh_connection_t ewmh_{};
    bool ready_ = false;
    xcb_atom_t gtkApplicationId_ = XCB_ATOM_NONE;
};

} // namespace tavlin::platform
