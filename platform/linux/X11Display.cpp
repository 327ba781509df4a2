#include "platform/linux/X11Display.h"

#include <QGuiApplication>

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

} // namespace tavlin::platform
