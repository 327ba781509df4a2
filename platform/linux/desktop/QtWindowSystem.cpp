#include "platform/linux/desktop/QtWindowSystem.h"

#include "platform/linux/desktop/QtDesktop.h"
#include "platform/linux/desktop/QtStatusItem.h"

#include <QCoreApplication>

#include <string>
#include <unistd.h>
#include <utility>

namespace tavlin::platform {

QtWindowSystem::QtWindowSystem(PanelFactory panelFactory) : panelFactory_(std::move(panelFactory)) {
    if (auto* app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, &context_, [this] {
            if (auto hook = std::exchange(terminationHook_, nullptr)) hook();
        });
}

QtWindowSystem::~QtWindowSystem() = default;

std::int32_t QtWindowSystem::processIdentifier() const {
    return static_cast<std::int32_t>(getpid());
}

void QtWindowSystem::observeActivations(std::function<void(const ActivationNotification&)> observer) {
    observer_ = std::move(observer);
}

void QtWindowSystem::reportActivation(const RunningApplication& application) {
    if (!observer_) return;
    ActivationNotification notification;
    notification.userInfo.emplace();
    notification.userInfo->emplace(std::string(ActivationNotification::applicationKey), application);
    observer_(notification);
}

void QtWindowSystem::observeProcessExit(std::int32_t pid, std::function<void()> handler) {
    exitWatch_ = ProcessExitWatch::make(pid, std::move(handler));
}

bool QtWindowSystem::openURL(std::string_view url) {
    return QtDesktop::openURL(url);
}

std::optional<Screen> QtWindowSystem::mainScreen() {
    return QtDesktop::mainScreen();
}

std::vector<Screen> QtWindowSystem::screens() {
    return QtDesktop::screens();
}

std::unique_ptr<StatusItem> QtWindowSystem::makeStatusItem(double) {
    return QtStatusItem::make();
}

std::unique_ptr<Panel> QtWindowSystem::makePanel(const Rect& contentRect) {
    return panelFactory_ ? panelFactory_(contentRect) : nullptr;
}

void QtWindowSystem::setActivationPolicy(ActivationPolicy) {
    // A program on a Linux desktop has no dock entry of its own; windows of ours that
    // should stay out of task bars say so themselves.
}

void QtWindowSystem::observeTermination(std::function<void()> hook) {
    terminationHook_ = std::move(hook);
}

void QtWindowSystem::terminate() {
    QCoreApplication::quit();
}

} // namespace tavlin::platform
