#include "platform/linux/X11WindowHints.h"

#include "platform/linux/X11Display.h"
#include "platform/linux/XcbReply.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <cstring>

namespace tavlin::platform {

namespace {

constexpr std::uint32_t allDesktops = 0xFFFFFFFF;
constexpr std::uint32_t netWmStateAdd = 1;

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window) {
    XcbReply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    return geometry ? geometry->root : xcb_window_t(XCB_WINDOW_NONE);
}

struct Atoms {
    xcb_atom_t state, sticky, skipTaskbar, skipPager, above, desktop, motifHints;
};

Atoms atoms(xcb_connection_t* c) {
    const auto atom = [c](std::string_view name) { return X11Display::atom(c, name); };
    return {atom("_NET_WM_STATE"),        atom("_NET_WM_STATE_STICKY"),
            atom("_NET_WM_STATE_SKIP_TASKBAR"), atom("_NET_WM_STATE_SKIP_PAGER"),
            atom("_NET_WM_STATE_ABOVE"),  atom("_NET_WM_DESKTOP"),
            atom("_MOTIF_WM_HINTS")};
}

void sendToRoot(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type,
                const std::array<std::uint32_t, 5>& data) {
    const xcb_window_t root = rootOf(c, window);
    if (root == XCB_WINDOW_NONE) return;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    for (std::size_t i = 0; i < data.size(); ++i) event.data.data32[i] = data[i];
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

} // namespace

void X11WindowHints::prepare(QWidget& window) {
    xcb_connection_t* c = X11Display::connection();
    if (!c) return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const Atoms a = atoms(c);
    const std::uint32_t states[] = {a.sticky, a.skipTaskbar, a.skipPager, a.above};
    // Appended, so that the states Qt itself sets are kept.
    xcb_change_property(c, XCB_PROP_MODE_APPEND, id, a.state, XCB_ATOM_ATOM, 32, 4, states);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, a.desktop, XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    // Motif hints: functions (bit 0) and decorations (bit 1) given; the only function
    // allowed is closing (32), so the window manager neither moves nor resizes it;
    // no decorations.
    const std::uint32_t motif[5] = {1 | 2, 32, 0, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, a.motifHints, a.motifHints, 32, 5, motif);
    xcb_flush(c);
}

void X11WindowHints::request(QWidget& window) {
    xcb_connection_t* c = X11Display::connection();
    if (!c) return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const Atoms a = atoms(c);
    sendToRoot(c, id, a.state, {netWmStateAdd, a.sticky, a.skipTaskbar, 1, 0});
    sendToRoot(c, id, a.state, {netWmStateAdd, a.skipPager, a.above, 1, 0});
    sendToRoot(c, id, a.desktop, {allDesktops, 1, 0, 0, 0});
    xcb_flush(c);
}

} // namespace tavlin::platform
