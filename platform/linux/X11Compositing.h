#pragma once

class QWidget;

namespace tavlin::platform {

// Whether a compositing manager runs on the X11 screen of a window, that is whether
// someone owns the screen's _NET_WM_CM_S<n> selection. Without one, the transparent
// parts of a window show up black. Always true on other platforms (Wayland, offscreen),
// where translucent windows are composited anyway.
struct X11Compositing {
    static bool active(QWidget& window);
};

} // namespace tavlin::platform
