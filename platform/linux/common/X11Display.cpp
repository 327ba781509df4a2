#include "platform/linux/common/X11Display.h"

#include "platform/linux/common/XcbReply.h"

#include <QGuiApplication>

#include <cstdlib>
#include <string>

namespace tavlin::platform {

xcb_connection_t* X11Display::connection() {
    auto* app = qGuiApp;
    if (!app) return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t X11Display::rootWindow() {
    auto* connection = X11Display::connection();
    if (!connection) return XCB_WINDOW_NONE;
    const auto screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
    return screen.rem > 0 ? screen.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

xcb_atom_t X11Display::atom(xcb_connection_t* connection, std::string_view name) {
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::optional<std::string> X11Display::unreachable() {
    const char* display = std::getenv("DISPLAY");
    if (!display || display[0] == '\0') return "needs an X11 display, and DISPLAY is not set";
    int screen = 0;
    xcb_connection_t* probe = xcb_connect(display, &screen);
    const int error = xcb_connection_has_error(probe);
    // A screen the server lacks (":0.3" on a server of one screen) would stop Qt's xcb
    // platform cold: libxcb refuses it itself, or (before 1.15) connects all the same.
    const int screens = error ? 0 : xcb_setup_roots_length(xcb_get_setup(probe));
    xcb_disconnect(probe);
    if (error && error != XCB_CONN_CLOSED_INVALID_SCREEN)
        return "can't open the X11 display \"" + std::string(display) + "\"";
    if (error || screen < 0 || screen >= screens)
        return "the X11 display \"" + std::string(display) + "\" has no screen " + std::to_string(screen);
    return std::nullopt;
}

} // namespace tavlin::platform
