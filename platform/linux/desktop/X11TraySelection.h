#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <xcb/xcb.h>

#include <functional>

namespace tavlin::platform {

// The desktop's X11 tray, as the owner of the _NET_SYSTEM_TRAY_S<n> selection of the
// first screen. A tray that starts announces itself with a MANAGER message on the root
// window; one that ends destroys its window. Both are reported from Qt's event loop,
// once Qt's own handling of the event is over.
class X11TraySelection final : private QAbstractNativeEventFilter {
public:
    using Changed = std::function<void(bool present)>;

    X11TraySelection(xcb_connection_t* connection, xcb_window_t root, Changed changed);
    ~X11TraySelection() override;
    X11TraySelection(const X11TraySelection&) = delete;
    X11TraySelection& operator=(const X11TraySelection&) = delete;

    bool present() const { return owner_ != XCB_WINDOW_NONE; }

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    // Takes `owner` as the tray and listens for the end of its window.
    void follow(xcb_window_t owner);
    void report();

    xcb_connection_t* connection_;
    xcb_window_t root_;
    Changed changed_;
    xcb_atom_t selection_ = XCB_ATOM_NONE;
    xcb_atom_t manager_ = XCB_ATOM_NONE;
    xcb_window_t owner_ = XCB_WINDOW_NONE;
    QObject context_;
};

} // namespace tavlin::platform
