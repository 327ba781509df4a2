#include "platform/linux/x11/X11PanelHints.h"

#include "platform/linux/common/X11Display.h"
#include "platform/linux/common/XcbReply.h"

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

bool X11PanelHints::hasKeyboard(NativeWindow window) {
    xcb_connection_t* c = X11Display::connection();
    if (!c) return false;
    XcbReply<xcb_get_input_focus_reply_t> focus(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return focus && focus->focus == static_cast<xcb_window_t>(window);
}

void X11PanelHints::request(NativeWindow window) {
    if (hints_ && hints_->window() == static_cast<xcb_window_t>(window)) hints_->request();
}

} // namespace tavlin::platform
