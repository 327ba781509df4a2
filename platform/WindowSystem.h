#pragma once

#include "platform/Geometry.h"
#include "platform/Panel.h"
#include "platform/RunningApplication.h"
#include "platform/StatusItem.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavlin::platform {

// An application-activation notification. Its user info may be missing, and its
// application entry may be missing or of another kind.
struct ActivationNotification {
    static constexpr std::string_view applicationKey = "application";
    using Value = std::variant<RunningApplication, std::string, std::int64_t>;
    std::optional<std::map<std::string, Value, std::less<>>> userInfo;
};

enum class ActivationPolicy { regular, accessory, prohibited };

using MonitorToken = std::uint64_t;

// Everything the shell needs of the desktop besides accessibility and hot keys.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // This process's own id.
    virtual std::int32_t processIdentifier() const = 0;
    // The application in front, if any.
    virtual std::optional<RunningApplication> frontmostApplication() = 0;
    // Delivers every later activation of an application; one observer at a time.
    virtual void observeActivations(std::function<void(const ActivationNotification&)> observer) = 0;
    // The running applications with this bundle identifier, possibly none.
    virtual std::vector<RunningApplication> runningApplications(std::string_view bundleIdentifier) = 0;
    // Brings the application to the front with all its windows.
    virtual bool activate(const RunningApplication& application) = 0;
    // Calls `handler` once, on the main thread, when the process ends; replaces the
    // previous watch. A process that can't be watched is never reported.
    virtual void observeProcessExit(std::int32_t pid, std::function<void()> handler) = 0;
    // Opens a URL with the desktop's handler for it.
    virtual bool openURL(std::string_view url) = 0;

    // The screen with the keyboard focus, if the desktop says.
    virtual std::optional<Screen> mainScreen() = 0;
    virtual std::vector<Screen> screens() = 0;

    // A new item in the tray, or none when the desktop has no tray.
    virtual std::unique_ptr<StatusItem> makeStatusItem(double length) = 0;
    // Calls the handler with the key code of every key pressed in other applications;
    // none when no such monitor can be installed.
    virtual std::optional<MonitorToken> addGlobalKeyDownMonitor(std::function<void(std::uint16_t keyCode)> handler) = 0;
    virtual void removeMonitor(MonitorToken token) = 0;
    // The overlay window, not yet on screen; none when this desktop can't make one now
    // (the caller shows nothing and asks again next time).
    virtual std::unique_ptr<Panel> makePanel(const Rect& contentRect) = 0;

    virtual void setActivationPolicy(ActivationPolicy policy) = 0;
    // Sets the termination hook: called once, on the main thread, just before the
    // program ends, whether through terminate() or because the desktop ends it.
    virtual void observeTermination(std::function<void()> hook) = 0;
    // Ends the program after the termination hook has run.
    virtual void terminate() = 0;
};

} // namespace tavlin::platform
