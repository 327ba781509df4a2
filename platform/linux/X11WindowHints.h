#pragma once

class QWidget;

namespace tavlin::platform {

// The overlay window's wishes to an X11 window manager: on every desktop, out of the
// task bar and the pager, above other windows, and not movable. Does nothing on other
// platforms (Wayland, offscreen).
struct X11WindowHints {
    // Before the window is mapped: sets the window's own properties that the window
    // manager reads when it maps the window.
    static void prepare(QWidget& window);
    // After it is mapped: asks the window manager again, as EWMH wants for mapped windows.
    static void request(QWidget& window);
};

} // namespace tavlin::platform
