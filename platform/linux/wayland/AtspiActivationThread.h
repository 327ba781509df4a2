#pragma once

#include "platform/linux/wayland/AtspiActivationTracker.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

typedef struct _GMainContext GMainContext;
typedef struct _GMainLoop GMainLoop;
typedef struct _GSource GSource;

namespace tavlin::platform {

// The activation tracker on a thread of its own. Every libatspi call goes to an application,
// and one that is stopped or busy answers only at libatspi's time-out: here those calls
// stall only this thread. libatspi is used by this thread alone: its bus connection is
// moved to this thread's GLib main context, which delivers the events too.
//
// The thread settles each burst of focus events itself (`settle` of quiet after the last)
// and keeps the application it then finds in front. It also asks the compositor, where
// that tells (sway), the app_id of each application it names, so that a stalled
// compositor stalls only this thread too. The owner's questions wait at most
// the bound it gives, and get the best known answer when the thread is still stuck on an
// earlier call.
class AtspiActivationThread {
public:
    using Application = AtspiActivationTracker::Application;

    // `changed` runs on this object's thread whenever a settled burst puts another
    // application in front; the owner hands it to its own thread.
    AtspiActivationThread(std::int32_t ignoredPid, std::chrono::milliseconds settle,
                          std::function<void(const Application&)> changed);
    // Ends the thread, after the call under way (at worst, at its time-out).
    ~AtspiActivationThread();
    AtspiActivationThread(const AtspiActivationThread&) = delete;
    AtspiActivationThread& operator=(const AtspiActivationThread&) = delete;

    // The application in front: a burst not settled yet is read at once, and when the
    // known front's window is no longer active (an event was missed), or its process is
    // gone, the bus is searched. Waits up to `wait`
    // for that (before the thread's first search is done, up to `startWait`: a start of
    // Tavlin by `tavlin --toggle` asks at once); then the last known front, if any.
    std::optional<Application> front(std::chrono::milliseconds wait);
    // The applications on the bus, with names for the processes not in `known`; none when
    // the thread doesn't answer within `wait`.
    std::optional<std::vector<Application>> applications(std::set<std::int32_t> known,
                                                         std::chrono::milliseconds wait);

    static constexpr std::chrono::milliseconds startWait{2000};

private:
    // What the two threads share; a question that timed out leaves its answer here.
    struct Shared {
        std::mutex mutex;
        std::condition_variable answered;
        std::optional<Application> front;
        bool started = false;          // the first search of the bus is done
        bool settling = false;         // events arrived, not read yet
        std::uint64_t questions = 0;   // asked of the thread
        std::uint64_t answers = 0;     // answered by it, in order
    };

    void run();
    // On the thread: runs `task` in its main context.
    void post(std::function<void()> task);
    // On the thread.
    void eventArrived();
    void settleNow();
    void publish(std::optional<Application> active, bool notify);
    // The compositor's app_id of the process's window; empty outside sway.
    std::string compositorAppId(std::int32_t pid) const;
    void answer(std::uint64_t question);
    // Asks, and waits up to `wait` for the answer.
    bool ask(std::function<void()> task, std::chrono::milliseconds wait);

    const std::int32_t ignoredPid_;
    const std::chrono::milliseconds settle_;
    const std::function<void(const Application&)> changed_;
    const std::string swaySocket_;
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    std::unique_ptr<AtspiActivationTracker> tracker_; // the thread's
    GSource* settleTimer_ = nullptr;                  // the thread's
    std::thread thread_; // last: starts once the members above exist
};

} // namespace tavlin::platform
