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
#include "platform/linux/X11Display.h"
#include "platform/linux/X11WindowSystem.h"
#include "platform/linux/XcbHotKeys.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int forwardTimeoutMs = 5000;

tavlin::AccessibilitySettingsLocation desktopAccessibilitySettings() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return {std::string(tavlin::platform::AccessibilitySettings::link),
            tavlin::platform::AccessibilitySettings::applicationIds(desktop ? desktop : "")};
}

// Why no display can be reached, if so; checked before Qt starts, which aborts without one.
std::optional<std::string> displayProblem() {
    return tavlin::platform::X11Display::unreachable();
}

} // namespace

int main(int argc, char** argv) {
    using namespace tavlin;
    using namespace tavlin::platform;

    // The hot key, the key monitor and the window tracking are X11's: under XWayland too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    if (const auto problem = displayProblem()) {
        std::fprintf(stderr, "tavlin: %s\n", problem->c_str());
        return 1;
    }
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

    // Without a place of its own there is no telling whether Tavlin already runs: rather
    // than start as a second instance, or keep running as a URL's messenger, stop.
    const auto location = SingleInstance::privateDirectory();
    if (location.path.empty()) {
        std::fprintf(stderr, "tavlin: %s\n", location.problem.c_str());
        return 1;
    }
    SingleInstance instance(location.path);
    switch (instance.becomeInstance()) {
    case SingleInstance::Role::instance: break;
    case SingleInstance::Role::failed:
        std::fprintf(stderr, "tavlin: %s\n", instance.errorString().c_str());
        return 1;
    case SingleInstance::Role::other:
        if (urls.empty()) { // already running: nothing to hand over
            std::fputs("tavlin: already running (press Alt+Space, or use its tray icon)\n", stderr);
            return 0;
        }
        switch (instance.forward(urls, forwardTimeoutMs)) {
        case SingleInstance::Delivery::delivered: return 0;
        case SingleInstance::Delivery::tooLong:
            std::fprintf(stderr, "tavlin: too long: the arguments come to more than the %lld bytes the running instance takes\n",
                         static_cast<long long>(SingleInstance::maxMessageBytes));
            return 1;
        case SingleInstance::Delivery::noAnswer:
            std::fputs("tavlin: the running instance did not answer\n", stderr);
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

    auto delegate = std::make_shared<AppDelegate>(windowSystem, hotKeys, mainQueue, accessibility,
                                                  desktopAccessibilitySettings());
    std::weak_ptr<AppDelegate> weakDelegate = delegate;
    instance.setReceiver([weakDelegate](std::vector<std::string> received) {
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
