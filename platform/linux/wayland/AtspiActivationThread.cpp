#include "platform/linux/wayland/AtspiActivationThread.h"

#include "platform/linux/wayland/SwayIpc.h"

#include <atspi/atspi.h>

#include <algorithm>
#include <cerrno>
#include <signal.h>
#include <utility>

namespace tavlin::platform {
namespace {

bool isRunning(std::int32_t pid) {
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

} // namespace

AtspiActivationThread::AtspiActivationThread(std::int32_t ignoredPid, std::chrono::milliseconds settle,
                                             std::function<void(const Application&)> changed)
    : ignoredPid_(ignoredPid), settle_(settle), changed_(std::move(changed)), swaySocket_(SwayIpc::sessionSocket()),
      context_(g_main_context_new()),
      loop_(g_main_loop_new(context_, FALSE)), thread_([this] { run(); }) {}

AtspiActivationThread::~AtspiActivationThread() {
    g_main_loop_quit(loop_);
    thread_.join();
    g_main_loop_unref(loop_);
    g_main_context_unref(context_); // drops the questions never run
}

void AtspiActivationThread::run() {
    g_main_context_push_thread_default(context_);
    // The bus connection moves to this thread's context before anything listens on it,
    // so that no event is ever dispatched on another thread.
    if (atspi_init() <= 1) atspi_set_main_context(context_);
    tracker_ = std::make_unique<AtspiActivationTracker>(ignoredPid_, [this] { eventArrived(); });
    publish(tracker_->findActive(), false);
    {
        std::lock_guard lock(shared_->mutex);
        shared_->started = true;
    }
    g_main_loop_run(loop_);
    if (settleTimer_) {
        g_source_destroy(settleTimer_);
        g_source_unref(std::exchange(settleTimer_, nullptr));
    }
    tracker_.reset();
    g_main_context_pop_thread_default(context_);
}

void AtspiActivationThread::post(std::function<void()> task) {
    GSource* source = g_idle_source_new();
    g_source_set_callback(
        source,
        [](gpointer data) {
            (*static_cast<std::function<void()>*>(data))();
            return G_SOURCE_REMOVE;
        },
        new std::function<void()>(std::move(task)), [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
    g_source_attach(source, context_);
    g_source_unref(source);
}

void AtspiActivationThread::eventArrived() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->settling = true;
    }
    if (settleTimer_) {
        g_source_destroy(settleTimer_);
        g_source_unref(settleTimer_);
    }
    settleTimer_ = g_timeout_source_new(static_cast<guint>(settle_.count()));
    g_source_set_callback(
        settleTimer_, [](gpointer self) { static_cast<AtspiActivationThread*>(self)->settleNow(); return G_SOURCE_REMOVE; },
        this, nullptr);
    g_source_attach(settleTimer_, context_);
}

void AtspiActivationThread::settleNow() {
    if (settleTimer_) {
        g_source_destroy(settleTimer_);
        g_source_unref(std::exchange(settleTimer_, nullptr));
    }
    // None: the keyboard went to one of our windows, to a window not on the bus, or back
    // to the application in front (the overlay hid); that application stays in front.
    std::int32_t frontPid = 0;
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->front) frontPid = shared_->front->pid;
    }
    const gint64 start = g_get_monotonic_time();
    auto active = tracker_->takeActive(frontPid);
    g_log("tavlin.wayland", G_LOG_LEVEL_DEBUG, "focus events read in %lld ms",
          static_cast<long long>((g_get_monotonic_time() - start) / 1000));
    publish(std::move(active), true);
}

std::string AtspiActivationThread::compositorAppId(std::int32_t pid) const {
    // Wayland tells no client another's app_id; sway does, to any client.
    return swaySocket_.empty() ? std::string() : SwayIpc::appId(swaySocket_, pid);
}

void AtspiActivationThread::publish(std::optional<Application> active, bool notify) {
    if (active) {
        std::unique_lock lock(shared_->mutex);
        const bool known = shared_->front && shared_->front->pid == active->pid;
        lock.unlock();
        if (!known) active->appId = compositorAppId(active->pid);
    }
    bool changed = false;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->settling = false;
        // The same application again replaces a front whose name was not read in time.
        const bool renamed = active && shared_->front && shared_->front->pid == active->pid &&
                             shared_->front->name.empty() && !active->name.empty();
        if (renamed) {
            active->appId = shared_->front->appId;
            shared_->front = active;
        } else if (active && (!shared_->front || shared_->front->pid != active->pid)) {
            shared_->front = active;
            changed = true;
        }
    }
    if (changed && notify && changed_) changed_(*active);
}

void AtspiActivationThread::answer(std::uint64_t question) {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->answers = question;
    }
    shared_->answered.notify_all();
}

bool AtspiActivationThread::ask(std::function<void()> task, std::chrono::milliseconds wait) {
    std::unique_lock lock(shared_->mutex);
    const std::uint64_t question = ++shared_->questions;
    lock.unlock();
    post([this, question, task = std::move(task)] {
        task();
        answer(question);
    });
    lock.lock();
    return shared_->answered.wait_for(lock, wait, [&] { return shared_->answers >= question; });
}

std::optional<AtspiActivationThread::Application> AtspiActivationThread::front(std::chrono::milliseconds wait) {
    {
        std::lock_guard lock(shared_->mutex);
        if (!shared_->started) wait = std::max(wait, startWait);
    }
    ask(
        [this] {
            if (settleTimer_) settleNow();
            std::unique_lock lock(shared_->mutex);
            const bool running = shared_->front && isRunning(shared_->front->pid);
            const bool named = running && !shared_->front->name.empty();
            if (!running) shared_->front.reset();
            lock.unlock();
            // The front's own window still active: nothing was missed. Else (or when its
            // name was not read) the bus is searched; when no window there is active
            // (the keyboard is with a window not on the bus), the front stays.
            if (named && tracker_->stillActive()) return;
            publish(tracker_->findActive(), false);
        },
        wait);
    std::lock_guard lock(shared_->mutex);
    if (shared_->front && !isRunning(shared_->front->pid)) return std::nullopt;
    return shared_->front;
}

std::optional<std::vector<AtspiActivationThread::Application>>
AtspiActivationThread::applications(std::set<std::int32_t> known, std::chrono::milliseconds wait) {
    // Kept with the question it answers: a late answer to an earlier one is not this one's.
    auto answer = std::make_shared<std::optional<std::vector<Application>>>();
    const bool answered = ask(
        [this, answer, known = std::move(known)] {
            auto found = tracker_->applications([&known](std::int32_t pid) { return !known.contains(pid); });
            for (Application& application : found)
                if (!known.contains(application.pid)) application.appId = compositorAppId(application.pid);
            std::lock_guard lock(shared_->mutex);
            *answer = std::move(found);
        },
        wait);
    std::lock_guard lock(shared_->mutex);
    if (!answered) return std::nullopt;
    return std::move(*answer);
}

} // namespace tavlin::platform
