#include "platform/linux/wayland/WaylandWindowSystem.h"

#include "platform/linux/desktop/DesktopEntries.h"
#include "platform/linux/desktop/DesktopShell.h"
#include "platform/linux/desktop/ProcessDesktopEntry.h"
#include "platform/linux/desktop/QtDesktop.h"
#include "platform/linux/wayland/SwayIpc.h"

#include <QElapsedTimer>
#include <QLoggingCategory>

#include <algorithm>
#include <set>
#include <cerrno>
#include <signal.h>

namespace tavlin::platform {
namespace {

Q_LOGGING_CATEGORY(logWayland, "tavlin.wayland", QtInfoMsg)

bool isRunning(std::int32_t pid) {
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

} // namespace

WaylandWindowSystem::WaylandWindowSystem(PanelFactory panelFactory)
    : QtWindowSystem(std::move(panelFactory)),
      bus_(processIdentifier(), std::chrono::milliseconds(settleMs),
           [this](const AtspiActivationThread::Application& active) {
               QMetaObject::invokeMethod(&context(), [this, active] { activated(active); }, Qt::QueuedConnection);
           }) {
    qCDebug(logWayland) << "following the active window over the accessibility bus";
}

WaylandWindowSystem::~WaylandWindowSystem() = default;

RunningApplication WaylandWindowSystem::application(const AtspiActivationThread::Application& busApplication) {
    const std::int32_t pid = busApplication.pid;
    const std::string& busName = busApplication.name;
    RunningApplication record;
    record.processIdentifier = pid;
    std::optional<DesktopEntries::Entry> entry;
    if (const auto launched = ProcessDesktopEntry::launchedId(pid)) entry = DesktopEntries::withId(*launched);
    if (!entry) {
        // The compositor's app_id where it tells it; elsewhere the name on the bus stands
        // for it.
        DesktopEntries::Clues clues;
        if (!busApplication.appId.empty()) clues.ids.push_back(busApplication.appId);
        if (!busName.empty()) clues.ids.push_back(busName);
        clues.executable = ProcessDesktopEntry::executable(pid).value_or("");
        clues.arguments = ProcessDesktopEntry::arguments(pid);
        entry = DesktopEntries::forApplication(clues);
    }
    if (entry)
        record.bundleIdentifier = entry->id;
    else if (!busName.empty())
        record.bundleIdentifier = busName;
    if (entry && !entry->name.empty())
        record.localizedName = entry->name;
    else if (!busName.empty())
        record.localizedName = busName;
    if (entry) record.icon = QtDesktop::themeIcon(entry->icon, iconSize);
    return record;
}

RunningApplication WaylandWindowSystem::record(const AtspiActivationThread::Application& busApplication) {
    if (auto it = records_.find(busApplication.pid); it != records_.end()) return it->second;
    RunningApplication made = application(busApplication);
    // Without a name (the application did not give it in time) the record is made again
    // next time, not kept nameless for the life of the process.
    if (busApplication.name.empty()) return made;
    return records_.insert_or_assign(busApplication.pid, std::move(made)).first->second;
}

std::optional<RunningApplication> WaylandWindowSystem::frontmostApplication() {
    // A focus change that has not settled yet is read now, as the user sees it; the
    // caller learns of it from the answer, not from a notification after it.
    QElapsedTimer asked;
    asked.start();
    const auto front = bus_.front(std::chrono::milliseconds(frontWaitMs));
    qCDebug(logWayland) << "the front after" << asked.elapsed() << "ms:" << (front ? front->pid : 0);
    if (activePid_ && (!front || front->pid != *activePid_) && !isRunning(*activePid_)) {
        records_.erase(*activePid_);
        activePid_.reset();
    }
    // The shell's own windows (its overview, its window switcher) are never a target: the
    // application the user last worked in stays the one in front.
    if (front && DesktopShell::isShellProcess(front->pid)) {
        if (const auto last = activePid_ ? records_.find(*activePid_) : records_.end(); last != records_.end())
            return last->second;
        return std::nullopt;
    }
    if (!front) return std::nullopt;
    activePid_ = front->pid;
    return record(*front);
}

void WaylandWindowSystem::activated(const AtspiActivationThread::Application& active) {
    // Already told, in an answer; or the shell's own window, which is never a target.
    if (activePid_ == active.pid || DesktopShell::isShellProcess(active.pid)) return;
    activePid_ = active.pid;
    const RunningApplication front = record(active);
    qCDebug(logWayland) << "in front:" << active.pid << QString::fromStdString(active.name);
    reportActivation(front);
}

std::vector<RunningApplication> WaylandWindowSystem::runningApplications(std::string_view bundleIdentifier) {
    // Names only for processes not met before: the name is the one call that goes to
    // the application itself.
    std::set<std::int32_t> known;
    for (const auto& [pid, record] : records_) known.insert(pid);
    const auto listed = bus_.applications(std::move(known), std::chrono::milliseconds(listWaitMs));
    if (!listed) {
        qCWarning(logWayland) << "the accessibility bus did not list its applications in time";
        return {};
    }
    const auto& all = *listed;
    // Forget the processes that left the bus.
    std::erase_if(records_, [&all](const auto& entry) {
        return std::none_of(all.begin(), all.end(), [&entry](const auto& a) { return a.pid == entry.first; });
    });
    std::vector<RunningApplication> found;
    for (const auto& busApplication : all) {
        RunningApplication found_record = record(busApplication);
        if (found_record.bundleIdentifier != bundleIdentifier) continue;
        const bool seen = std::any_of(found.begin(), found.end(), [&found_record](const RunningApplication& a) {
            return a.processIdentifier == found_record.processIdentifier;
        });
        if (!seen) found.push_back(std::move(found_record));
    }
    qCDebug(logWayland) << "running as" << QString::fromUtf8(bundleIdentifier.data(), qsizetype(bundleIdentifier.size()))
                        << ":" << found.size() << "of" << all.size() << "applications on the bus";
    return found;
}

bool WaylandWindowSystem::activate(const RunningApplication& application) {
    const std::string sway = SwayIpc::sessionSocket();
    if (sway.empty()) {
        qCDebug(logWayland) << "this compositor lets no client bring another application to the front";
        return false;
    }
    const bool done =
        SwayIpc::runCommand(sway, "[pid=" + std::to_string(application.processIdentifier) + "] focus");
    if (!done) qCWarning(logWayland) << "sway did not focus process" << application.processIdentifier;
    return done;
}

std::optional<MonitorToken> WaylandWindowSystem::addGlobalKeyDownMonitor(std::function<void(std::uint16_t)>) {
    // Wayland gives no client the keys of others; the overlay handles its own Escape.
    return std::nullopt;
}

void WaylandWindowSystem::removeMonitor(MonitorToken) {}

} // namespace tavlin::platform
