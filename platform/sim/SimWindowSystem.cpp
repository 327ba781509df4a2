#include "platform/sim/SimWindowSystem.h"

#include <algorithm>
#include <utility>

namespace tavlin::platform::sim {

namespace {

// What the program holds: a handle that forwards to the record the window system keeps.
class StatusItemHandle : public StatusItem {
public:
    explicit StatusItemHandle(std::shared_ptr<SimStatusItem> item) : item_(std::move(item)) {}
    bool hasButton() const override { return item_->hasButton(); }
    bool setImage(const std::string& symbolName, const std::string& description) override {
        return item_->setImage(symbolName, description);
    }
    void setMenu(std::vector<MenuEntry> entries) override { item_->setMenu(std::move(entries)); }
    void setNote(const std::string& note) override { item_->setNote(note); }

private:
    std::shared_ptr<SimStatusItem> item_;
};

class PanelHandle : public Panel {
public:
    explicit PanelHandle(std::shared_ptr<SimPanel> panel) : panel_(std::move(panel)) {}
    void setFrame(const Rect& frame, bool display) override { panel_->setFrame(frame, display); }
    void setContent(const ShortcutOverlay& overlay) override { panel_->setContent(overlay); }
    void makeKeyAndOrderFront() override { panel_->makeKeyAndOrderFront(); }
    bool isVisible() const override { return panel_->isVisible(); }
    void orderOut() override { panel_->orderOut(); }
    void observeKeyLoss(std::function<void()> handler) override { panel_->observeKeyLoss(std::move(handler)); }

private:
    std::shared_ptr<SimPanel> panel_;
};

} // namespace

void SimWindowSystem::addApplication(RunningApplication application) { running_.push_back(std::move(application)); }

void SimWindowSystem::removeApplication(std::int32_t pid) {
    std::erase_if(running_, [pid](const RunningApplication& app) { return app.processIdentifier == pid; });
}

void SimWindowSystem::endProcess(std::int32_t pid) {
    removeApplication(pid);
    if (frontmost_ && frontmost_->processIdentifier == pid) frontmost_.reset();
    if (watchedPid_ != pid) return;
    watchedPid_.reset();
    if (auto handler = std::exchange(exitHandler_, nullptr)) handler();
}

void SimWindowSystem::observeProcessExit(std::int32_t pid, std::function<void()> handler) {
    watchedPid_ = pid;
    exitHandler_ = std::move(handler);
}

void SimWindowSystem::bringToFront(const RunningApplication& application) {
    frontmost_ = application;
    postActivation(activationOf(application));
}

void SimWindowSystem::postActivation(const ActivationNotification& notification) {
    if (activationObserver_) activationObserver_(notification);
}

ActivationNotification SimWindowSystem::activationOf(const RunningApplication& application) {
    ActivationNotification notification;
    notification.userInfo.emplace();
    notification.userInfo->emplace(std::string(ActivationNotification::applicationKey), application);
    return notification;
}

void SimWindowSystem::setScreens(std::vector<Screen> screens, std::optional<std::size_t> mainIndex) {
    screens_ = std::move(screens);
    mainIndex_ = mainIndex;
}

void SimWindowSystem::pressKey(std::uint16_t keyCode) {
    // A snapshot: a monitor may be removed while the others hear the key.
    const auto monitors = keyMonitors_;
    for (const auto& [token, handler] : monitors)
        if (handler) handler(keyCode);
}

void SimWindowSystem::observeActivations(std::function<void(const ActivationNotification&)> observer) {
    activationObserver_ = std::move(observer);
}

std::vector<RunningApplication> SimWindowSystem::runningApplications(std::string_view bundleIdentifier) {
    lookups_.emplace_back(bundleIdentifier);
    std::vector<RunningApplication> found;
    for (const RunningApplication& app : running_)
        if (app.bundleIdentifier && *app.bundleIdentifier == bundleIdentifier) found.push_back(app);
    return found;
}

bool SimWindowSystem::activate(const RunningApplication& application) {
    activations_.push_back(application);
    return std::any_of(running_.begin(), running_.end(), [&](const RunningApplication& app) {
        return app.processIdentifier == application.processIdentifier;
    });
}

bool SimWindowSystem::openURL(std::string_view url) {
    openedURLs_.emplace_back(url);
    return true;
}

std::optional<Screen> SimWindowSystem::mainScreen() {
    if (!mainIndex_ || *mainIndex_ >= screens_.size()) return std::nullopt;
    return screens_[*mainIndex_];
}

std::unique_ptr<StatusItem> SimWindowSystem::makeStatusItem(double length) {
    if (!trayAvailable_) return nullptr;
    statusItems_.push_back(std::make_shared<SimStatusItem>(length, statusButtonAvailable_, symbolImagesAvailable_));
    return std::make_unique<StatusItemHandle>(statusItems_.back());
}

std::optional<MonitorToken> SimWindowSystem::addGlobalKeyDownMonitor(std::function<void(std::uint16_t)> handler) {
    if (!keyMonitorAvailable_) return std::nullopt;
    const MonitorToken token = nextToken_++;
    keyMonitors_[token] = std::move(handler);
    return token;
}

void SimWindowSystem::removeMonitor(MonitorToken token) {
    keyMonitors_.erase(token);
    removedMonitors_.push_back(token);
}

std::unique_ptr<Panel> SimWindowSystem::makePanel(const Rect& contentRect) {
    if (!panelAvailable_) return nullptr;
    panels_.push_back(std::make_shared<SimPanel>(contentRect));
    return std::make_unique<PanelHandle>(panels_.back());
}

void SimWindowSystem::terminate() {
    if (terminated_) return;
    terminated_ = true;
    if (terminationHook_) terminationHook_();
}

} // namespace tavlin::platform::sim
