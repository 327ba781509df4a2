#include "platform/linux/X11Display.h"

#include <QGuiApplication>

#include <cstdlib>

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

std::optional<std::string> X11Display::unreachable() {
    const char* display = std::getenv("DISPLAY");
    if (!display || display[0] == '\0') return "needs an X11 display, and DISPLAY is not set";
    xcb_connection_t* probe = xcb_connect(display, nullptr);
    const bool failed = xcb_connection_has_error(probe) != 0;
    xcb_disconnect(probe);
    if (failed) return "can't open the X11 display \"" + std::string(display) + "\"";
    return std::nullopt;
}

} // namespace tavlin::platform
