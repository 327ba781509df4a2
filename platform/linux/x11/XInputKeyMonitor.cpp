#include "platform/linux/x11/XInputKeyMonitor.h"

#include "platform/Keys.h"
#include "platform/linux/common/XcbReply.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <xcb/xcb_keysyms.h>
#include <xcb/xinput.h>

#include <X11/keysym.h>

#include <memory>

Q_LOGGING_CATEGORY(lcKeyMonitor, "tavlin.keymonitor")

namespace tavlin::platform {

struct XInputKeyMonitor::Symbols {
    std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> table;
};

std::unique_ptr<XInputKeyMonitor> XInputKeyMonitor::make(xcb_connection_t* connection, xcb_window_t root,
                                                         Handler handler) {
    if (!connection || root == XCB_WINDOW_NONE) return nullptr;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_input_id);
    if (!extension || !extension->present) {
        qCWarning(lcKeyMonitor) << "the X server lacks XInput, so no key press outside the overlay is seen";
        return nullptr;
    }
    // Raw events reach every client that selects them only from XInput 2.1 on.
    XcbReply<xcb_input_xi_query_version_reply_t> version(
        xcb_input_xi_query_version_reply(connection, xcb_input_xi_query_version(connection, 2, 2), nullptr));
    if (!version || version->major_version < 2 || (version->major_version == 2 && version->minor_version < 1)) {
        qCWarning(lcKeyMonitor) << "the X server lacks XInput 2.1 raw events, so no key press outside the overlay is seen";
        return nullptr;
    }
    std::unique_ptr<XInputKeyMonitor> monitor(
        new XInputKeyMonitor(connection, root, extension->major_opcode, std::move(handler)));
    monitor->select(true);
    return monitor;
}

XInputKeyMonitor::XInputKeyMonitor(xcb_connection_t* connection, xcb_window_t root, std::uint8_t opcode,
                                   Handler handler)
    : connection_(connection), root_(root), opcode_(opcode), handler_(std::move(handler)),
      symbols_(new Symbols{{xcb_key_symbols_alloc(connection), &xcb_key_symbols_free}}) {
    if (auto* app = QCoreApplication::instance()) app->installNativeEventFilter(this);
}

XInputKeyMonitor::~XInputKeyMonitor() {
    select(false);
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

void XInputKeyMonitor::select(bool on) {
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t mask;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, on ? std::uint32_t(XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS) : 0u};
    xcb_input_xi_select_events(connection_, root_, 1, &mask.head);
    xcb_flush(connection_);
}

std::uint16_t XInputKeyMonitor::virtualKeyCode(std::uint32_t keysym, std::uint8_t keycode) {
    switch (keysym) {
    case XK_Escape: return Keys::Code::escape;
    case XK_space: return Keys::Code::space;
    case XK_Return: return Keys::Code::returnKey;
    case XK_Tab: return Keys::Code::tab;
    case XK_BackSpace: return Keys::Code::backspace;
    case XK_Delete: return Keys::Code::forwardDelete;
    case XK_Left: return Keys::Code::left;
    case XK_Right: return Keys::Code::right;
    case XK_Down: return Keys::Code::down;
    case XK_Up: return Keys::Code::up;
    default: return static_cast<std::uint16_t>(unnamedKeyBase + keycode);
    }
}

bool XInputKeyMonitor::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) == XCB_MAPPING_NOTIFY && symbols_->table) {
        // The keyboard layout changed: read the keysyms afresh.
        xcb_refresh_keyboard_mapping(symbols_->table.get(), reinterpret_cast<xcb_mapping_notify_event_t*>(event));
        return false;
    }
    if ((event->response_type & 0x7f) != XCB_GE_GENERIC) return false;
    auto* generic = reinterpret_cast<xcb_ge_generic_event_t*>(event);
    if (generic->extension != opcode_ || generic->event_type != XCB_INPUT_RAW_KEY_PRESS) return false;
    auto* raw = reinterpret_cast<xcb_input_raw_key_press_event_t*>(event);
    const auto keycode = static_cast<xcb_keycode_t>(raw->detail);
    const xcb_keysym_t sym = symbols_->table ? xcb_key_symbols_get_keysym(symbols_->table.get(), keycode, 0) : 0;
    handler_(virtualKeyCode(sym, keycode));
    return false; // raw events are ours alone; let Qt see them too, it ignores them
}

} // namespace tavlin::platform
