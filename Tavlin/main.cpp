// Tavlin's entry point on an X11 desktop or in a Wayland session (through XWayland): one
// instance per user, the desktop's adapters of the shell's ports, the application
// delegate, and Qt's event loop.
//
//   tavlin [--toggle] [URL...]
//
// --toggle does what a press of the hot key does; desktops without a global hot key for
// clients bind their own key to `tavlin --toggle`. Every other argument is a URL for the
// delegate (e.g. tavlin://show?bundle=org.gtk.Demo2). When Tavlin already runs, the
// arguments go to that instance and this process ends; else this process becomes the
// instance and acts on them after launch, as the instance acts on arguments handed over.

#include "Tavlin/AppDelegate.h"
#include "TavlinUI/Overlay/QtPanel.h"
#include "platform/linux/AccessibilitySettings.h"
#include "platform/linux/AtspiAccessibility.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtStatusItem.h"
#include "platform/linux/SingleInstance.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/WaylandWindowSystem.h"
#include "platform/linux/X11Display.h"
#include "platform/linux/X11WindowSystem.h"
#include "platform/linux/XcbHotKeys.h"

#include <QApplication>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int forwardTimeoutMs = 5000;

tavlin::AccessibilitySettingsLocation desktopAccessibilitySettings() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return {std::string(tavlin::platform::AccessibilitySettings::link),
            tavlin::platform::AccessibilitySettings::applicationIds(desktop ? desktop : "")};
}

constexpr std::string_view toggleOption = "--toggle";

// A Wayland session lets no client place its window above the others or read the
// keyboard, so our windows go through the session's XWayland. False, after saying so,
// when the session has none.
bool useXWayland() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qgetenv("QT_QPA_PLATFORM").startsWith("wayland"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    xcb_connection_t* probe = xcb_connect(nullptr, nullptr);
    const bool reachable = !xcb_connection_has_error(probe);
    xcb_disconnect(probe);
    if (!reachable)
        std::fputs("tavlin: this Wayland session has no XWayland (DISPLAY is not set or does not answer); "
                   "Tavlin's overlay needs it\n", stderr);
    return reachable;
}

// Acts on a command line, Tavlin's own or one handed over by a later start.
void perform(tavlin::AppDelegate& delegate, const std::vector<std::string>& arguments) {
    std::vector<std::string> urls;
    std::copy_if(arguments.begin(), arguments.end(), std::back_inserter(urls),
                 [](const std::string& argument) { return argument != toggleOption; });
    if (urls.size() != arguments.size()) delegate.hotKeyPressed();
    if (!urls.empty()) delegate.application(urls);
}

} // namespace

int main(int argc, char** argv) {
    using namespace tavlin;
    using namespace tavlin::platform;

    // A toggle for the running instance goes over at once, before Qt's GUI starts up:
    // the desktop's key binding waits for this process.
    if (std::find(argv + 1, argv + argc, toggleOption) != argv + argc)
        if (const auto directory = SingleInstance::privateDirectory())
            if (SingleInstance(*directory).forward(std::vector<std::string>(argv + 1, argv + argc), 0)) return 0;

    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (wayland && !useXWayland()) return 1;
    // The hot key and the panel are X11's, under XWayland too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv); // takes Qt's own options out of argv
    app.setApplicationName(QStringLiteral("Tavlin"));
    app.setDesktopFileName(QStringLiteral("tavlin"));
    app.setQuitOnLastWindowClosed(false);
    const std::vector<std::string> urls(argv + 1, argv + argc);

    xcb_connection_t* connection = X11Display::connection();
    if (!connection) {
        std::fputs("tavlin: needs an X11 display\n", stderr);
        return 1;
    }

    std::unique_ptr<SingleInstance> instance;
    if (const auto directory = SingleInstance::privateDirectory()) {
        instance = std::make_unique<SingleInstance>(*directory);
        if (!instance->becomeInstance()) {
            if (urls.empty()) { // already running: nothing to hand over
                std::fputs("tavlin: already running (press Alt+Space, or use its tray icon)\n", stderr);
                return 0;
            }
            if (instance->forward(urls, forwardTimeoutMs)) return 0;
            std::fputs("tavlin: the running instance did not take the URLs\n", stderr);
            return 1;
        }
    }
    app.setWindowIcon(QtStatusItem::programIcon());

    TerminationSignals terminationSignals;
    QtMainQueue mainQueue;
    XcbHotKeys hotKeys(connection, X11Display::rootWindow());
    atspi::AtspiAccessibility accessibility;
    const auto panels = [](const Rect& contentRect) -> std::unique_ptr<Panel> {
        return std::make_unique<QtPanel>(contentRect);
    };
    std::unique_ptr<WindowSystem> windowSystem;
    if (wayland)
        windowSystem = std::make_unique<WaylandWindowSystem>(panels);
    else
        windowSystem = std::make_unique<X11WindowSystem>(connection, panels);

    auto delegate = std::make_shared<AppDelegate>(*windowSystem, hotKeys, mainQueue, accessibility,
                                                  desktopAccessibilitySettings());
    std::weak_ptr<AppDelegate> weakDelegate = delegate;
    if (instance)
        instance->setReceiver([weakDelegate](std::vector<std::string> received) {
            if (auto d = weakDelegate.lock()) perform(*d, received);
        });
    QTimer::singleShot(0, &app, [weakDelegate, urls] {
        auto d = weakDelegate.lock();
        if (!d) return;
        d->applicationDidFinishLaunching();
        perform(*d, urls);
    });
    return app.exec();
}
