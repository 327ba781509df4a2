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

} // namespace

int main(int argc, char** argv) {
    using namespace tavlin;
    using namespace tavlin::platform;

    // The key monitor and the window tracking are X11's: under XWayland too.
    // Without a display Qt's minimal platform stands in, so that --help and
    // --bind-hot-key still answer.
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
    if (instance)
        instance->setReceiver([weakDelegate](std::vector<std::string> received) {
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
