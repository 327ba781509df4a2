// Tavlin's entry point on an X11 desktop: one instance per user, the desktop's adapters
// of the shell's ports, the application delegate, and Qt's event loop.
//
//   tavlin [URL...]
//
// Every argument is a URL for the delegate (e.g. tavlin://show?bundle=org.gtk.Demo2).
// When Tavlin already runs, the URLs go to that instance and this process ends; else
// this process becomes the instance and hands them to its delegate after launch.

#include "Tavlin/AppDelegate.h"
#include "TavlinUI/Overlay/QtPanel.h"
#include "platform/linux/AccessibilitySettings.h"
#include "platform/linux/AtspiAccessibility.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtStatusItem.h"
#include "platform/linux/SingleInstance.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/ThreadWorkQueue.h"
#include "platform/linux/X11Display.h"
#include "platform/linux/X11WindowSystem.h"
#include "platform/linux/XcbHotKeys.h"

#include <QApplication>
#include <QTimer>

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

} // namespace

int main(int argc, char** argv) {
    using namespace tavlin;
    using namespace tavlin::platform;

    // The hot key, the key monitor and the window tracking are X11's: under XWayland too.
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
    X11WindowSystem windowSystem(connection, [](const Rect& contentRect) -> std::unique_ptr<Panel> {
        return std::make_unique<QtPanel>(contentRect);
    });
    atspi::AtspiAccessibility accessibility;
    // Reads other applications away from the main thread; ends (and waits for the read
    // under way) before the service it reads with.
    ThreadWorkQueue workQueue(mainQueue);

    auto delegate = std::make_shared<AppDelegate>(windowSystem, hotKeys, mainQueue, workQueue, accessibility,
                                                  desktopAccessibilitySettings());
    std::weak_ptr<AppDelegate> weakDelegate = delegate;
    if (instance)
        instance->setReceiver([weakDelegate](std::vector<std::string> received) {
            if (auto d = weakDelegate.lock()) d->application(received);
        });
    QTimer::singleShot(0, &app, [weakDelegate, urls] {
        auto d = weakDelegate.lock();
        if (!d) return;
        d->applicationDidFinishLaunching();
        if (!urls.empty()) d->application(urls);
    });
    return app.exec();
}
