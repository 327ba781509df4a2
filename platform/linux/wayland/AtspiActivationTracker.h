#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

typedef struct _AtspiAccessible AtspiAccessible;
typedef struct _AtspiEvent AtspiEvent;
typedef struct _AtspiEventListener AtspiEventListener;

namespace tavlin::platform {

// Which application's window is active, as the applications themselves tell the
// accessibility bus: it follows window:activate/deactivate and state-changed:active
// events and reads the windows' ACTIVE state. Events come in bursts (Qt sends spurious
// activate/deactivate pairs and repeated activates), so the owner reads the state once
// a burst has settled: `eventArrived` says that one came, `takeActive` reads.
// Events reach it through GLib's default main context.
class AtspiActivationTracker {
public:
    struct Application {
        std::int32_t pid = 0;
        std::string name; // the name the application gives itself on the bus
        std::string appId; // its window's id, where the compositor tells it (sway); set by the owner
    };

    // The windows of `ignoredPid` (our own) never count as active.
    AtspiActivationTracker(std::int32_t ignoredPid, std::function<void()> eventArrived);
    ~AtspiActivationTracker();
    AtspiActivationTracker(const AtspiActivationTracker&) = delete;
    AtspiActivationTracker& operator=(const AtspiActivationTracker&) = delete;

    // Whether the listener is registered with the bus.
    bool listening() const { return listener_ != nullptr; }
    // The process whose window is active among the windows named by events since the
    // last call, the most recent first; none when none of them is active now (the
    // keyboard went to a window of ours, or of an application not on the bus). Windows
    // of `frontPid` (the application known in front) are not asked: whether active or
    // not, they can't put another application in front.
    std::optional<Application> takeActive(std::int32_t frontPid = 0);
    // The application with an active window among all applications on the bus.
    std::optional<Application> findActive();
    // Whether the window last found active (by either call above) still is. An event
    // can be missed (an application just started tells of its first activation before it
    // knows anyone listens), so the front is checked with its own window before a show.
    bool stillActive();
    // The applications registered on the bus, but ours: a call to our own, which can't
    // answer while we wait, would only time out. Only the names `wantName` asks for are
    // read: that asks the application itself, which may hang; the rest asks the bus.
    std::vector<Application> applications(const std::function<bool(std::int32_t pid)>& wantName) const;

    static constexpr std::size_t maxPending = 32;

private:
    static void received(AtspiEvent* event, void* self);
    // The application of the window when the window is active and not ours (nor of
    // `skippedPid`).
    std::optional<Application> ifActive(AtspiAccessible* window, std::int32_t skippedPid = 0) const;
    // Keeps `window` as the one last found active.
    void holdActive(AtspiAccessible* window);

    std::int32_t ignoredPid_;
    std::function<void()> eventArrived_;
    AtspiEventListener* listener_ = nullptr;
    std::deque<AtspiAccessible*> pending_; // held references, the most recent last
    AtspiAccessible* activeWindow_ = nullptr; // held; the window last found active
};

} // namespace tavlin::platform
