#include "platform/linux/x11/X11WindowHints.h"

#include "platform/linux/common/X11Display.h"
#include "platform/linux/common/XcbReply.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tavlin::platform {

namespace {

constexpr std::uint32_t allDesktops = 0xFFFFFFFF;
constexpr std::uint32_t netWmStateAdd = 1;

} // namespace

X11WindowHints::X11WindowHints(xcb_window_t window) : connection_(X11Display::connection()) {
    if (!connection_) return;
    window_ = window;
    xcb_connection_t* c = connection_;
    // Every request sent first, every answer read after: one round trip for all.
    constexpr std::array<std::string_view, 7> names{"_NET_WM_STATE",        "_NET_WM_STATE_STICKY",
                                                    "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                                                    "_NET_WM_STATE_ABOVE",  "_NET_WM_DESKTOP",
                                                    "_MOTIF_WM_HINTS"};
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(names[i].size()), names[i].data());
    const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(c, window_);
    std::array<xcb_atom_t, names.size()> atoms{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    atoms_ = {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5], atoms[6]};
    XcbReply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometryCookie, nullptr));
    root_ = geometry ? geometry->root : xcb_window_t(XCB_WINDOW_NONE);
}

void X11WindowHints::prepare() const {
    xcb_connection_t* c = connection_;
    if (!c) return;
    const Atoms& a = atoms_;
    const std::uint32_t states[] = {a.sticky, a.skipTaskbar, a.skipPager, a.above};
    // Appended, so that the states Qt itself sets are kept.
    xcb_change_property(c, XCB_PROP_MODE_APPEND, window_, a.state, XCB_ATOM_ATOM, 32, 4, states);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, a.desktop, XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    // Motif hints: functions (bit 0) and decorations (bit 1) given; the only function
    // allowed is closing (32), so the window manager neither moves nor resizes it;
    // no decorations.
    const std::uint32_t motif[5] = {1 | 2, 32, 0, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, a.motifHints, a.motifHints, 32, 5, motif);
    xcb_flush(c);
}

void X11WindowHints::sendToRoot(xcb_atom_t type, const std::uint32_t (&data)[5]) const {
    if (root_ == XCB_WINDOW_NONE) return;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window_;
    event.type = type;
    for (std::size_t i = 0; i < 5; ++i) event.data.data32[i] = data[i];
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

void X11WindowHints::request() const {
    if (!connection_) return;
    const Atoms& a = atoms_;
    sendToRoot(a.state, {netWmStateAdd, a.sticky, a.skipTaskbar, 1, 0});
    sendToRoot(a.state, {netWmStateAdd, a.skipPager, a.above, 1, 0});
    sendToRoot(a.desktop, {allDesktops, 1, 0, 0, 0});
    xcb_flush(connection_);
}

} // namespace tavlin::platform
