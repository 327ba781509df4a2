#pragma once

#include "platform/WindowSystem.h"
#include "platform/sim/SimPanel.h"
#include "platform/sim/SimStatusItem.h"

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform::sim {

// An in-memory desktop: scripted running applications and screens, a tray, a key-down
// monitor and activation notifications that the test drives, and records of what the
// program asked of it. Panels and status items it makes stay readable here after the
// program has let go of them.
class SimWindowSystem : public WindowSystem {
public:
    static constexpr std::int32_t defaultProcessIdentifier = 4000;

    // --- scripting
    void setProcessIdentifier(std::int32_t pid) { ownPid_ = pid; }
    // Adds a running application (lookups by bundle identifier find it, in order added).
    void addApplication(RunningApplication application);
    void removeApplication(std::int32_t pid);
    // The process ends: it is no longer running or in front, and its exit is reported
    // to the watch on it.
    void endProcess(std::int32_t pid);
    void setFrontmost(std::optional<RunningApplication> application) { frontmost_ = std::move(application); }
    // Makes the application frontmost and posts its activation notification.
    void bringToFront(const RunningApplication& application);
    void postActivation(const ActivationNotification& notification);
    static ActivationNotification activationOf(const RunningApplication& application);
    // The screens; `mainIndex` names the main screen (none: the desktop does not say).
    void setScreens(std::vector<Screen> screens, std::optional<std::size_t> mainIndex = 0);
    void setTrayAvailable(bool available) { trayAvailable_ = available; }
    void setStatusButtonAvailable(bool available) { statusButtonAvailable_ = available; }
    void setSymbolImagesAvailable(bool available) { symbolImagesAvailable_ = available; }
    void setKeyMonitorAvailable(bool available) { keyMonitorAvailable_ = available; }
    void setPanelAvailable(bool available) { panelAvailable_ = available; }
    // A key pressed in another application: every installed key-down monitor hears it.
    void pressKey(std::uint16_t keyCode);

    // --- records
    SimStatusItem* statusItem() const { return statusItems_.empty() ? nullptr : statusItems_.back().get(); }
    std::size_t statusItemsMade() const { return statusItems_.size(); }
    SimPanel* panel() const { return panels_.empty() ? nullptr : panels_.back().get(); }
    std::size_t panelsMade() const { return panels_.size(); }
    const std::vector<std::string>& openedURLs() const { return openedURLs_; }
    const std::vector<RunningApplication>& activations() const { return activations_; }
    // The bundle identifiers looked up, in order.
    const std::vector<std::string>& lookups() const { return lookups_; }
    std::optional<ActivationPolicy> activationPolicy() const { return policy_; }
    bool observingActivations() const { return static_cast<bool>(activationObserver_); }
    std::size_t keyMonitorsInstalled() const { return keyMonitors_.size(); }
    const std::vector<MonitorToken>& removedMonitors() const { return removedMonitors_; }
    bool terminated() const { return terminated_; }
    // The process whose exit is watched.
    std::optional<std::int32_t> watchedProcess() const { return watchedPid_; }

    // --- WindowSystem
    std::int32_t processIdentifier() const override { return ownPid_; }
    std::optional<RunningApplication> frontmostApplication() override { return frontmost_; }
    void observeActivations(std::function<void(const ActivationNotification&)> observer) override;
    std::vector<RunningApplication> runningApplications(std::string_view bundleIdentifier) override;
    // Recorded; the frontmost application does not change.
    bool activate(const RunningApplication& application) override;
    void observeProcessExit(std::int32_t pid, std::function<void()> handler) override;
    bool openURL(std::string_view url) override;
    std::optional<Screen> mainScreen() override;
    std::vector<Screen> screens() override { return screens_; }
    std::unique_ptr<StatusItem> makeStatusItem(double length) override;
    std::optional<MonitorToken> addGlobalKeyDownMonitor(std::function<void(std::uint16_t)> handler) override;
    void removeMonitor(MonitorToken token) override;
    std::unique_ptr<Panel> makePanel(const Rect& contentRect) override;
    void setActivationPolicy(ActivationPolicy policy) override { policy_ = policy; }
    void observeTermination(std::function<void()> hook) override { terminationHook_ = std::move(hook); }
    // Runs the termination hook once, then counts as ended.
    void terminate() override;

private:
    std::int32_t ownPid_ = defaultProcessIdentifier;
    std::vector<RunningApplication> running_;
    std::optional<RunningApplication> frontmost_;
    std::function<void(const ActivationNotification&)> activationObserver_;
    std::vector<Screen> screens_;
    std::optional<std::size_t> mainIndex_;
    bool trayAvailable_ = true, statusButtonAvailable_ = true, symbolImagesAvailable_ = true;
    bool keyMonitorAvailable_ = true, panelAvailable_ = true;
    std::map<MonitorToken, std::function<void(std::uint16_t)>> keyMonitors_;
    MonitorToken nextToken_ = 1;
    std::vector<std::shared_ptr<SimStatusItem>> statusItems_;
    std::vector<std::shared_ptr<SimPanel>> panels_;
    std::vector<std::string> openedURLs_;
    std::vector<RunningApplication> activations_;
    std::vector<std::string> lookups_;
    std::vector<MonitorToken> removedMonitors_;
    std::optional<ActivationPolicy> policy_;
    std::function<void()> terminationHook_;
    bool terminated_ = false;
    std::optional<std::int32_t> watchedPid_;
    std::function<void()> exitHandler_;
};

} // namespace tavlin::platform::sim
