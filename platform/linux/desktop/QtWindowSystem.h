#pragma once

#include "platform/WindowSystem.h"
#include "platform/linux/desktop/ProcessExitWatch.h"

#include <QObject>

#include <functional>
#include <memory>

namespace tavlin::platform {

// What every Linux window system of ours does the same way, X11 or Wayland: our own
// windows are Qt's (screens, the tray icon, the overlay panel from the factory it is
// given), URLs go to the desktop's handler, a process's end is seen through a pidfd, and
// the program ends with Qt's event loop, running the termination hook on the way out.
// Which application is in front, its activations, the running applications, bringing
// one to the front and a global key monitor are each window system's own.
class QtWindowSystem : public WindowSystem {
public:
    using PanelFactory = std::function<std::unique_ptr<Panel>(const Rect& contentRect)>;

    ~QtWindowSystem() override;

    std::int32_t processIdentifier() const final;
    void observeActivations(std::function<void(const ActivationNotification&)> observer) override;
    void observeProcessExit(std::int32_t pid, std::function<void()> handler) final;
    bool openURL(std::string_view url) final;
    std::optional<Screen> mainScreen() final;
    std::vector<Screen> screens() final;
    std::unique_ptr<StatusItem> makeStatusItem(double length) final;
    std::unique_ptr<Panel> makePanel(const Rect& contentRect) final;
    void setActivationPolicy(ActivationPolicy policy) final;
    void observeTermination(std::function<void()> hook) final;
    void terminate() final;

protected:
    explicit QtWindowSystem(PanelFactory panelFactory);

    // Tells the activation observer, if there is one, that `application` came to the front.
    void reportActivation(const RunningApplication& application);
    // The context of calls queued to the main thread's event loop: they are dropped
    // with the window system.
    QObject& context() { return context_; }

private:
    PanelFactory panelFactory_;
    QObject context_;
    std::function<void(const ActivationNotification&)> observer_;
    std::function<void()> terminationHook_;
    std::unique_ptr<ProcessExitWatch> exitWatch_;
};

} // namespace tavlin::platform
