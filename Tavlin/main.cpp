// Tavlin's entry point on an X11 desktop: one instance per user, the desktop's adapters
// of the shell's ports, the application delegate, and Qt's event loop.
//
//   tavlin [--help] [--version] [--key-symbols] [URL...]
//   tavlin --bind-hot-key     binds Alt+Space to `tavlin --toggle` in the desktop's settings
//
// Every other argument is a URL for the delegate (e.g. tavlin://show?bundle=org.gtk.Demo2).
// --key-symbols writes keys in symbols ("⇧⌘Z") instead of the desktop's words
// ("Ctrl+Shift+Z"). The interface speaks the locale's language: Japanese, or English.
// When Tavlin already runs, the URLs go to that instance and this process ends; else
// this process becomes the instance and hands them to its delegate after launch.
// --help, --version and usage errors are answered before any instance is looked for.

#include "Tavlin/AppDelegate.h"
#include "TavlinUI/LinuxCommonShortcuts.h"
#include "TavlinUI/Overlay/InterfaceLanguage.h"
#include "TavlinUI/Overlay/QtPanel.h"
#include "platform/linux/AccessibilitySettings.h"
#include "platform/linux/AtspiAccessibility.h"
#include "platform/linux/CommandLine.h"
#include "platform/linux/HotKeyBinder.h"
#include "platform/linux/PortalHotKeys.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtStatusItem.h"
#include "platform/linux/SingleInstance.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/X11Display.h"
#include "platform/linux/X11WindowSystem.h"
#include "platform/linux/XcbHotKeys.h"
#include "platform/linux/XdgAutostart.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int forwardTimeoutMs = 5000;

tavlin::AccessibilitySettingsLocation desktopAccessibilitySettings() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return {std::string(tavlin::platform::AccessibilitySettings::link),
            tavlin::platform::AccessibilitySettings::applicationIds(desktop ? desktop : "")};
}

// Why no display can be reached, if so: Qt then runs on its minimal platform, enough to
// answer the command line, and a start that would show the overlay stops here.
std::optional<std::string> displayProblem() {
    return tavlin::platform::X11Display::unreachable();
}

} // namespace

int main(int argc, char** argv) {
    using namespace tavlin;
    using namespace tavlin::platform;

    // The key monitor and the window tracking are X11's: under XWayland too.
    // Without a display Qt's minimal platform stands in, so that --help and
    // --bind-hot-key still answer; a start that would run says what is missing.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "minimal" : "xcb;minimal");
    QApplication app(argc, argv); // takes Qt's own options out of argv
    app.setApplicationName(QStringLiteral("Tavlin"));
    app.setApplicationVersion(QStringLiteral(TAVLIN_VERSION));
    app.setDesktopFileName(QStringLiteral("tavlin"));
    app.setQuitOnLastWindowClosed(false);

    const CommandLine commandLine = CommandLine::parse(app.arguments());
    if (commandLine.request() != CommandLine::Request::Run && commandLine.request() != CommandLine::Request::BindHotKey) {
        std::fputs(commandLine.text().toLocal8Bit().constData(),
                   commandLine.request() == CommandLine::Request::Error ? stderr : stdout);
        return commandLine.exitStatus();
    }
    if (commandLine.request() == CommandLine::Request::BindHotKey)
        return HotKeyBinder::run(std::filesystem::read_symlink("/proc/self/exe").string());
    const std::vector<std::string>& urls = commandLine.urls();
    if (const auto problem = displayProblem()) {
        std::fprintf(stderr, "tavlin: %s\n", problem->c_str());
        return 1;
    }
    const char* desktopNames = std::getenv("XDG_CURRENT_DESKTOP");
    const auto desktop = LinuxCommonShortcuts::desktop(desktopNames ? desktopNames : "");
    // KDE calls the Super key Meta, as Qt does.
    const InterfaceLanguage language(InterfaceLanguage::choose(QLocale::system()),
                                     desktop == LinuxCommonShortcuts::Desktop::kde ? QStringLiteral("Meta")
                                                                                    : QStringLiteral("Super"));
    const auto notation = commandLine.keySymbols() ? KeyText::Notation::symbols : KeyText::Notation::desktop;

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
    // No client may grab keys on Wayland: there the desktop's portal gives the hot key.
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    std::unique_ptr<HotKeys> hotKeys;
    if (wayland)
        hotKeys = std::make_unique<PortalHotKeys>("tavlin", "show-shortcuts", "Show the shortcuts of the application in front",
                                                  PortalHotKeys::Options{});
    else
        hotKeys = std::make_unique<XcbHotKeys>(connection, X11Display::rootWindow());
    X11WindowSystem windowSystem(connection, [notation](const Rect& contentRect) -> std::unique_ptr<Panel> {
        return std::make_unique<QtPanel>(contentRect, notation);
    });
    atspi::AtspiAccessibility accessibility;
    XdgAutostart autostart = XdgAutostart::forCurrentUser();

    auto delegate = std::make_shared<AppDelegate>(
        windowSystem, *hotKeys, mainQueue, accessibility, autostart, desktopAccessibilitySettings(),
        [desktop](const std::optional<std::string>& bundle) { return LinuxCommonShortcuts::items(desktop, bundle); });
    std::weak_ptr<AppDelegate> weakDelegate = delegate;
    instance.setReceiver([weakDelegate](std::vector<std::string> received) {
        if (auto d = weakDelegate.lock()) d->application(received);
    });
    QTimer::singleShot(0, &app, [weakDelegate, urls, wayland] {
        auto d = weakDelegate.lock();
        if (!d) return;
        d->applicationDidFinishLaunching();
        if (!d->hotKey())
            std::fputs(wayland ? "tavlin: no hot key: the desktop's global-shortcuts portal is missing or gave no key; unless "
                                 "the desktop runs `tavlin --toggle` on Alt+Space, run `tavlin --bind-hot-key` "
                                 "(README: \"Getting Alt+Space\")\n"
                               : "tavlin: another program holds Alt+Space, so Tavlin has no hot key "
                                 "(README: \"Getting Alt+Space\")\n",
                       stderr);
        if (!urls.empty()) d->application(urls);
    });
    return app.exec();
}
