#include "platform/linux/wayland/AtspiActivationTracker.h"

#include <atspi/atspi.h>

#include <cstring>
#include <memory>

namespace tavlin::platform {
namespace {

constexpr const char* logDomain = "tavlin.wayland";
constexpr const char* watchedEvents[] = {"window:activate", "window:deactivate", "object:state-changed:active"};

struct Unref {
    void operator()(void* object) const { if (object) g_object_unref(object); }
};
template <class T> using Held = std::unique_ptr<T, Unref>;

// libatspi (2.46) opens a direct connection to each application it meets and hands it
// to the process's default GLib context, which Qt's main thread runs, whatever context
// libatspi was given. A call made here over that connection then races the main thread
// for its reply, and when the main thread reads it first, the call waits out libatspi's
// time-out (15 s for an application just started). The connection is moved to this
// thread's context before each call to the application.
void keepOnThisThread(AtspiAccessible* accessible) {
    if (!accessible) return;
    AtspiApplication* application = ATSPI_OBJECT(accessible)->app;
    if (application && application->bus)
        atspi_dbus_connection_setup_with_g_main(application->bus, g_main_context_get_thread_default());
}

// Logs and clears a failed call's error; true when there was one.
bool failed(GError*& error, const char* what) {
    if (!error) return false;
    g_log(logDomain, G_LOG_LEVEL_DEBUG, "%s: %s", what, error->message);
    g_clear_error(&error);
    return true;
}

} // namespace

AtspiActivationTracker::AtspiActivationTracker(std::int32_t ignoredPid, std::function<void()> eventArrived)
    : ignoredPid_(ignoredPid), eventArrived_(std::move(eventArrived)) {
    if (atspi_init() > 1) { // 1: already initialised
        g_log(logDomain, G_LOG_LEVEL_WARNING, "no accessibility bus: the application in front can't be followed");
        return;
    }
    listener_ = atspi_event_listener_new(&AtspiActivationTracker::received, this, nullptr);
    for (const char* type : watchedEvents) {
        GError* error = nullptr;
        if (!atspi_event_listener_register(listener_, type, &error) || failed(error, type))
            g_log(logDomain, G_LOG_LEVEL_WARNING, "could not listen to %s events", type);
    }
}

AtspiActivationTracker::~AtspiActivationTracker() {
    if (listener_) {
        for (const char* type : watchedEvents) atspi_event_listener_deregister(listener_, type, nullptr);
        g_object_unref(listener_);
    }
    for (AtspiAccessible* window : pending_) g_object_unref(window);
    if (activeWindow_) g_object_unref(activeWindow_);
}

void AtspiActivationTracker::received(AtspiEvent* event, void* data) {
    auto* self = static_cast<AtspiActivationTracker*>(data);
    if (event->source) {
        self->pending_.push_back(static_cast<AtspiAccessible*>(g_object_ref(event->source)));
        if (self->pending_.size() > maxPending) {
            g_object_unref(self->pending_.front());
            self->pending_.pop_front();
        }
    }
    g_boxed_free(ATSPI_TYPE_EVENT, event);
    if (self->eventArrived_) self->eventArrived_();
}

std::optional<AtspiActivationTracker::Application> AtspiActivationTracker::ifActive(AtspiAccessible* window,
                                                                                   std::int32_t skippedPid) const {
    GError* error = nullptr;
    Application application;
    application.pid = std::int32_t(atspi_accessible_get_process_id(window, &error));
    if (failed(error, "process id") || application.pid <= 0 || application.pid == ignoredPid_) return std::nullopt;
    if (skippedPid > 0 && application.pid == skippedPid) return std::nullopt;
    keepOnThisThread(window);
    // libatspi keeps states it was told by events; Qt's spurious ones among them. Ask.
    atspi_accessible_clear_cache(window);
    Held<AtspiStateSet> states(atspi_accessible_get_state_set(window));
    if (!states || !atspi_state_set_contains(states.get(), ATSPI_STATE_ACTIVE)) return std::nullopt;
    keepOnThisThread(window);
    Held<AtspiAccessible> app(atspi_accessible_get_application(window, &error));
    if (!failed(error, "application") && app) {
        keepOnThisThread(app.get());
        gchar* name = atspi_accessible_get_name(app.get(), &error);
        if (!failed(error, "application name") && name) application.name = name;
        g_free(name);
    }
    return application;
}

void AtspiActivationTracker::holdActive(AtspiAccessible* window) {
    g_object_ref(window);
    if (activeWindow_) g_object_unref(activeWindow_);
    activeWindow_ = window;
}

std::optional<AtspiActivationTracker::Application> AtspiActivationTracker::takeActive(std::int32_t frontPid) {
    std::deque<AtspiAccessible*> windows;
    windows.swap(pending_);
    std::optional<Application> active;
    for (auto it = windows.rbegin(); it != windows.rend() && !active; ++it)
        if ((active = ifActive(*it, frontPid))) holdActive(*it);
    for (AtspiAccessible* window : windows) g_object_unref(window);
    return active;
}

bool AtspiActivationTracker::stillActive() {
    if (!activeWindow_) return false;
    keepOnThisThread(activeWindow_);
    atspi_accessible_clear_cache(activeWindow_);
    Held<AtspiStateSet> states(atspi_accessible_get_state_set(activeWindow_));
    return states && atspi_state_set_contains(states.get(), ATSPI_STATE_ACTIVE);
}

std::optional<AtspiActivationTracker::Application> AtspiActivationTracker::findActive() {
    Held<AtspiAccessible> desktop(atspi_get_desktop(0));
    if (!desktop) return std::nullopt;
    GError* error = nullptr;
    const gint count = atspi_accessible_get_child_count(desktop.get(), &error);
    if (failed(error, "applications")) return std::nullopt;
    for (gint index = 0; index < count; ++index) {
        Held<AtspiAccessible> app(atspi_accessible_get_child_at_index(desktop.get(), index, &error));
        if (failed(error, "application") || !app) continue;
        const auto pid = std::int32_t(atspi_accessible_get_process_id(app.get(), &error));
        if (failed(error, "process id") || pid <= 0 || pid == ignoredPid_) continue;
        keepOnThisThread(app.get());
        const gint windows = atspi_accessible_get_child_count(app.get(), &error);
        if (failed(error, "windows")) continue;
        for (gint w = 0; w < windows; ++w) {
            keepOnThisThread(app.get());
            Held<AtspiAccessible> window(atspi_accessible_get_child_at_index(app.get(), w, &error));
            if (failed(error, "window") || !window) continue;
            if (auto active = ifActive(window.get())) {
                holdActive(window.get());
                return active;
            }
        }
    }
    return std::nullopt;
}

std::vector<AtspiActivationTracker::Application>
AtspiActivationTracker::applications(const std::function<bool(std::int32_t)>& wantName) const {
    std::vector<Application> result;
    Held<AtspiAccessible> desktop(atspi_get_desktop(0));
    if (!desktop) return result;
    GError* error = nullptr;
    const gint count = atspi_accessible_get_child_count(desktop.get(), &error);
    if (failed(error, "applications")) return result;
    for (gint index = 0; index < count; ++index) {
        Held<AtspiAccessible> app(atspi_accessible_get_child_at_index(desktop.get(), index, &error));
        if (failed(error, "application") || !app) continue;
        Application application;
        application.pid = std::int32_t(atspi_accessible_get_process_id(app.get(), &error));
        if (failed(error, "process id") || application.pid <= 0 || application.pid == ignoredPid_) continue;
        if (wantName && wantName(application.pid)) {
            keepOnThisThread(app.get());
            gchar* name = atspi_accessible_get_name(app.get(), &error);
            if (!failed(error, "name") && name) application.name = name;
            g_free(name);
        }
        result.push_back(std::move(application));
    }
    return result;
}

} // namespace tavlin::platform
