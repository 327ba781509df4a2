#include "platform/linux/x11/X11WindowSystem.h"

#include "platform/linux/desktop/DesktopEntries.h"
#include "platform/linux/desktop/DesktopShell.h"
#include "platform/linux/desktop/ProcessDesktopEntry.h"
#include "platform/linux/desktop/QtDesktop.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>

namespace tavlin::platform {

X11WindowSystem::X11WindowSystem(xcb_connection_t* connection, PanelFactory panelFactory)
    : QtWindowSystem(std::move(panelFactory)), connection_(connection), windows_(connection, 0) {
    windows_.watchRootProperties();
    if (auto* app = QCoreApplication::instance()) app->installNativeEventFilter(this);
}

X11WindowSystem::~X11WindowSystem() {
    monitors_.clear();
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

std::optional<RunningApplication> X11WindowSystem::application(xcb_window_t window, bool withIcon) {
    // The pid is read every time: it tells a window id that the server handed out again.
    const auto pid = windows_.pid(window);
    if (!pid) return std::nullopt;
    auto it = records_.find(window);
    if (it == records_.end() || it->second.application.processIdentifier != *pid) {
        if (records_.size() >= maxRecords) records_.clear();
        it = records_.insert_or_assign(window, identify(window, *pid)).first;
    }
    Record& record = it->second;
    // The icon is read only for a record that is asked for with it, and scaled to the
    // size shown, so that the records stay small.
    if (withIcon && !record.iconRead) {
        record.iconRead = true;
        if (!record.entryIcon.empty()) record.application.icon = QtDesktop::themeIcon(record.entryIcon, iconSize);
        if (!record.application.icon) record.application.icon = windows_.icon(window, iconSize);
    }
    return record.application;
}

X11WindowSystem::Record X11WindowSystem::identify(xcb_window_t window, std::int32_t pid) {
    Record record;
    record.application.processIdentifier = pid;
    const auto gtkId = windows_.gtkApplicationId(window);
    const auto windowClass = windows_.windowClass(window);
    // The same choice as on Wayland: the ids the window gives, then its program.
    DesktopEntries::Clues clues;
    if (gtkId) clues.ids.push_back(*gtkId);
    if (windowClass) {
        // The class's StartupWMClass before an entry named after the instance.
        clues.ids.push_back(windowClass->name);
        clues.ids.push_back(windowClass->instance);
    }
    clues.executable = ProcessDesktopEntry::executable(pid).value_or("");
    clues.arguments = ProcessDesktopEntry::arguments(pid);
    const std::optional<DesktopEntries::Entry> entry = DesktopEntries::forApplication(clues);

    if (gtkId)
        record.application.bundleIdentifier = *gtkId;
    else if (entry)
        record.application.bundleIdentifier = entry->id;
    else if (windowClass && !windowClass->instance.empty())
        record.application.bundleIdentifier = windowClass->instance;

    if (entry && !entry->name.empty())
        record.application.localizedName = entry->name;
    else if (windowClass && !windowClass->name.empty())
        record.application.localizedName = windowClass->name;
    if (entry) record.entryIcon = entry->icon;
    return record;
}

std::optional<RunningApplication> X11WindowSystem::frontmostApplication() {
    const auto window = windows_.activeWindow();
    if (!window) return std::nullopt;
    // The shell's own windows (its overview, a panel) are no application.
    auto front = application(*window);
    if (front && DesktopShell::isShellProcess(front->processIdentifier)) return std::nullopt;
    return front;
}

void X11WindowSystem::observeActivations(std::function<void(const ActivationNotification&)> observer) {
    QtWindowSystem::observeActivations(std::move(observer));
    if (auto front = frontmostApplication(); front && front->processIdentifier != processIdentifier())
        activePid_ = front->processIdentifier;
}

void X11WindowSystem::activeWindowChanged() {
    const auto front = frontmostApplication();
    if (!front || front->processIdentifier == processIdentifier()) return;
    if (activePid_ == front->processIdentifier) return;
    activePid_ = front->processIdentifier;
    reportActivation(*front);
}

bool X11WindowSystem::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_PROPERTY_NOTIFY) {
        if (windows_.isActiveWindowChange(*reinterpret_cast<xcb_property_notify_event_t*>(event)))
            // Reported from the event loop, not from inside Qt's event dispatch.
            QTimer::singleShot(0, &context(), [this] { activeWindowChanged(); });
    }
    return false;
}

std::vector<RunningApplication> X11WindowSystem::runningApplications(std::string_view bundleIdentifier) {
    std::vector<RunningApplication> found;
    const auto clients = windows_.clientsTopmostFirst();
    // Forget the windows that are gone.
    std::erase_if(records_, [&clients](const auto& entry) {
        return std::find(clients.begin(), clients.end(), entry.first) == clients.end();
    });
    for (xcb_window_t window : clients) {
        auto record = application(window, false);
        if (!record || record->bundleIdentifier != bundleIdentifier) continue;
        const bool seen = std::any_of(found.begin(), found.end(), [&record](const RunningApplication& a) {
            return a.processIdentifier == record->processIdentifier;
        });
        if (!seen) found.push_back(std::move(*application(window, true)));
    }
    return found;
}

bool X11WindowSystem::activate(const RunningApplication& application) {
    for (xcb_window_t window : windows_.clientsTopmostFirst()) {
        if (windows_.pid(window) == application.processIdentifier) {
            windows_.requestActivation(window);
            return true;
        }
    }
    return false;
}

std::optional<MonitorToken> X11WindowSystem::addGlobalKeyDownMonitor(std::function<void(std::uint16_t)> handler) {
    auto monitor = XInputKeyMonitor::make(connection_, windows_.root(), std::move(handler));
    if (!monitor) return std::nullopt;
    const MonitorToken token = nextToken_++;
    monitors_.emplace(token, std::move(monitor));
    return token;
}

void X11WindowSystem::removeMonitor(MonitorToken token) {
    monitors_.erase(token);
}

} // namespace tavlin::platform
