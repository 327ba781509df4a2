#include "platform/linux/x11/X11PanelHints.h"

namespace tavlin::platform {

bool X11PanelHints::prepare(NativeWindow window) {
    const auto id = static_cast<xcb_window_t>(window);
    if (!hints_ || hints_->window() != id) {
        hints_ = std::make_unique<X11WindowHints>(id);
        compositing_ = std::make_unique<X11Compositing>(id);
    }
    hints_->prepare();
    return compositing_->active();
}

void X11PanelHints::request(NativeWindow window) {
    if (hints_ && hints_->window() == static_cast<xcb_window_t>(window)) hints_->request();
}

} // namespace tavlin::platform
