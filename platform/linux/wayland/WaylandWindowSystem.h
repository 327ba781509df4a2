#pragma once

#include "platform/linux/desktop/QtWindowSystem.h"
#include "platform/linux/wayland/AtspiActivationThread.h"

#include <functional>
#include <map>
#include <memory>

namespace tavlin::platform {

// The window system of a Wayland session. Wayland tells a client nothing about other
// clients' windows, so the application in front and its activations come from the
// accessibility bus: the application whose window is ACTIVE, read once the events of a
// focus change have settled. Windows of our own process never count, so the
// application behind the overlay stays in front while the overlay has the keyboard.
//
// The accessibility bus is asked on a thread of its own (AtspiActivationThread): an
// application that is stopped or busy answers only at libatspi's time-out, and the main
// thread (the overlay, the tray, the instance socket) waits for no more than
// `frontWaitMs` or `listWaitMs`, then goes on with what it knew.
//
// Applications are told apart by process. A record carries the id of the desktop
// entry the process was launched from (its launch environment), else of the entry that
// starts its executable, else the name it gives itself on the bus; the entry's name and
// theme icon, else that name and no icon.
//
// Our own windows go through XWayland, so screens, the tray and the overlay panel are
// Qt's as on X11 (QtWindowSystem), and Escape reaches the overlay as its own key press:
// there is no global key monitor. Bringing another application to the front is up to the
// compositor: sway does it on request; other compositors don't let a client do it.
class WaylandWindowSystem final : public QtWindowSystem {
public:
    explicit WaylandWindowSystem(PanelFactory panelFactory);
    ~WaylandWindowSystem() override;

    std::optional<RunningApplication> frontmostApplication() override;
    std::vector<RunningApplication> runningApplications(std::string_view bundleIdentifier) override;
    bool activate(const RunningApplication& application) override;
    std::optional<MonitorToken> addGlobalKeyDownMonitor(std::function<void(std::uint16_t keyCode)> handler) override;
    void removeMonitor(MonitorToken token) override;

    // The record of a process, from its desktop entry or `busName`.
    static RunningApplication application(const AtspiActivationThread::Application& busApplication);

    static constexpr int settleMs = 60;    // quiet time after the last focus event
    static constexpr int frontWaitMs = 100; // for the front at a show
    static constexpr int listWaitMs = 500;  // for the list of applications (a URL naming one)
    static constexpr int iconSize = 64;

private:
    // On the main thread: another application came to the front.
    void activated(const AtspiActivationThread::Application& active);
    // The record of the process, cached.
    RunningApplication record(const AtspiActivationThread::Application& busApplication);

    std::optional<std::int32_t> activePid_; // the last process other than ours with the active window
    std::map<std::int32_t, RunningApplication> records_;
    AtspiActivationThread bus_; // last, so it ends first: its notifications reach the members above
};

} // namespace tavlin::platform
