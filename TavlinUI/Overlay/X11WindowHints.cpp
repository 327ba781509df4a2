#include "TavlinUI/Overlay/X11WindowHints.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tavlin {

namespace {

constexpr std::uint32_t allDesktops = 0xFFFFFFFF;
constexpr std::uint32_t netWmStateAdd = 1;

xcb_connection_t* connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, std::string_view name) {
    auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    xcb_atom_t result = XCB_ATOM_NONE;
    if (reply) result = reply->atom;
    std::free(reply);
    return result;
}

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window) {
    xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    xcb_window_t root = XCB_WINDOW_NONE;
    if (reply) root = reply->root;
    std::free(reply);
    return root;
}

struct Atoms {
    xcb_atom_t state, sticky, skipTaskbar, skipPager, above, desktop, motifHints;
};

Atoms atoms(xcb_connection_t* c) {
    return {atom(c, "_NET_WM_STATE"),        atom(c, "_NET_WM_STATE_STICKY"),
            atom(c, "_NET_WM_STATE_SKIP_TASKBAR"), atom(c, "_NET_WM_STATE_SKIP_PAGER"),
            atom(c, "_NET_WM_STATE_ABOVE"),  atom(c, "_NET_WM_DESKTOP"),
            atom(c, "_MOTIF_WM_HINTS")};
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
    xcb_connection_t* c = connection();
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
    xcb_connection_t* c = connection();
    if (!c) return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const Atoms a = atoms(c);
    sendToRoot(c, id, a.state, {netWmStateAdd, a.sticky, a.skipTaskbar, 1, 0});
    sendToRoot(c, id, a.state, {netWmStateAdd, a.skipPager, a.above, 1, 0});
    sendToRoot(c, id, a.desktop, {allDesktops, 1, 0, 0, 0});
    xcb_flush(c);
}

} // namespace tavlin
