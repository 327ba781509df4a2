#pragma once

#include "platform/linux/desktop/QtWindowSystem.h"
#include "platform/linux/x11/X11Windows.h"
#include "platform/linux/x11/XInputKeyMonitor.h"

#include <QAbstractNativeEventFilter>

#include <functional>
#include <map>
#include <memory>

namespace tavlin::platform {

// The window system of an X11 desktop under Qt: applications and activations from the
// window manager's EWMH properties and the XInput 2 key monitor; screens, the tray icon
// and the overlay panel as QtWindowSystem has them.
//
// Applications are told apart by process: an application is the set of top-level
// windows with one _NET_WM_PID. Its record carries the bundle identifier
// _GTK_APPLICATION_ID, else the id of the desktop entry its WM_CLASS matches, else the
// WM_CLASS instance name; the desktop entry's localized name, else the WM_CLASS class;
// and the desktop entry's icon, else the window's _NET_WM_ICON.
//
// An activation is reported when the active window passes to another process. The
// active window passing to one of our own windows (the overlay taking the keyboard) is
// not reported and does not count as a change, so the application behind the overlay is
// still the one in front when the overlay goes away.
class X11WindowSystem final : public QtWindowSystem, private QAbstractNativeEventFilter {
public:
    X11WindowSystem(xcb_connection_t* connection, PanelFactory panelFactory);
    ~X11WindowSystem() override;

    std::optional<RunningApplication> frontmostApplication() override;
    void observeActivations(std::function<void(const ActivationNotification&)> observer) override;
    std::vector<RunningApplication> runningApplications(std::string_view bundleIdentifier) override;
    bool activate(const RunningApplication& application) override;
    std::optional<MonitorToken> addGlobalKeyDownMonitor(std::function<void(std::uint16_t keyCode)> handler) override;
    void removeMonitor(MonitorToken token) override;

    // The record of the application that owns this window, with its icon or without;
    // none without a pid.
    std::optional<RunningApplication> application(xcb_window_t window, bool withIcon = true);

    static constexpr int iconSize = 64;
    // Records kept for windows seen; with icons of at most iconSize² pixels, 4 MiB at most.
    static constexpr std::size_t maxRecords = 256;

private:
    struct Record {
        RunningApplication application;
        std::string entryIcon; // the desktop entry's icon name, if any
        bool iconRead = false;
    };
    Record identify(xcb_window_t window, std::int32_t pid);
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void activeWindowChanged();

    xcb_connection_t* connection_;
    X11Windows windows_;
    std::optional<std::int32_t> activePid_; // the last process other than ours that held the active window
    std::map<xcb_window_t, Record> records_;
    std::map<MonitorToken, std::unique_ptr<XInputKeyMonitor>> monitors_;
    MonitorToken nextToken_ = 1;
};

} // namespace tavlin::platform
