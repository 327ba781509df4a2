#include "platform/linux/desktop/X11TraySelection.h"

#include "platform/linux/common/X11Display.h"
#include "platform/linux/common/XcbReply.h"

#include <QCoreApplication>
#include <QTimer>

#include <memory>

namespace tavlin::platform {
namespace {

// Adds `events` to what this client hears from `window`, keeping what it heard before.
void listen(xcb_connection_t* connection, xcb_window_t window, std::uint32_t events) {
    XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr));
    if (!attributes) return; // the window is already gone
    const std::uint32_t mask = attributes->your_event_mask | events;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
}

} // namespace

X11TraySelection::X11TraySelection(xcb_connection_t* connection, xcb_window_t root, Changed changed)
    : connection_(connection), root_(root), changed_(std::move(changed)) {
    if (!connection_ || root_ == XCB_WINDOW_NONE) return;
    selection_ = X11Display::atom(connection_, "_NET_SYSTEM_TRAY_S0");
    manager_ = X11Display::atom(connection_, "MANAGER");
    // Announcements of a new selection owner go to the root window's structure listeners.
    listen(connection_, root_, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection_, xcb_get_selection_owner(connection_, selection_), nullptr));
    if (owner) follow(owner->owner);
    xcb_flush(connection_);
    if (auto* app = QCoreApplication::instance()) app->installNativeEventFilter(this);
}

X11TraySelection::~X11TraySelection() {
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

void X11TraySelection::follow(xcb_window_t owner) {
    owner_ = owner;
    if (owner_ != XCB_WINDOW_NONE) listen(connection_, owner_, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
}

void X11TraySelection::report() {
    QTimer::singleShot(0, &context_, [this] {
        if (changed_) changed_(present());
    });
}

bool X11TraySelection::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || selection_ == XCB_ATOM_NONE) return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
    case XCB_CLIENT_MESSAGE: {
        const auto* note = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (note->window != root_ || note->type != manager_ || note->format != 32 ||
            note->data.data32[1] != selection_)
            break;
        follow(note->data.data32[2]);
        xcb_flush(connection_);
        report();
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto* gone = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
        if (owner_ == XCB_WINDOW_NONE || gone->window != owner_) break;
        owner_ = XCB_WINDOW_NONE;
        report();
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace tavlin::platform
