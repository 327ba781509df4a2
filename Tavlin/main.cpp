// Tavlin's entry point on an X11 desktop or in a Wayland session (through XWayland): one
// instance per user, the desktop's adapters of the shell's ports, the application
// delegate, and Qt's event loop.
//
//   tavlin [--help] [--version] [--key-symbols] [--toggle] [URL...]
//   tavlin --bind-hot-key     binds Alt+Space to `tavlin --toggle` in the desktop's settings
//
// Every other argument is a URL for the delegate (e.g. tavlin://show?bundle=org.gtk.Demo2).
// --key-symbols writes keys in symbols ("⇧⌘Z") instead of the desktop's words
// ("Ctrl+Shift+Z"). The interface speaks the locale's language: Japanese, or English.
// --toggle does what a press of the hot key does; desktops that give applications no
// global hot key bind their own key to `tavlin --toggle`.
// When Tavlin already runs, --toggle and the URLs go to that instance and this process
// ends; else this process becomes the instance and acts on them after launch, as the
// instance acts on what later starts hand it. Users run this program through the
// `tavlin` launcher (launcher/main.cpp), which hands --toggle and URLs to a running
// instance itself and starts this program for everything else.
// --help, --version and usage errors are answered before any instance is looked for.

#include "Tavlin/AppDelegate.h"
#include "Tavlin/ShortcutScanner.h"
#include "TavlinUI/LinuxCommonShortcuts.h"
#include "TavlinUI/Overlay/InterfaceLanguage.h"
#include "TavlinUI/Overlay/QtPanel.h"
#include "platform/linux/atspi/AtspiAccessibility.h"
#include "platform/linux/common/GLibLogForwarding.h"
#include "platform/linux/common/X11Display.h"
#include "platform/linux/desktop/AccessibilitySettings.h"
#include "platform/linux/desktop/QtStatusItem.h"
#include "platform/linux/desktop/XdgAutostart.h"
#include "platform/linux/hotkeys/PortalHotKeys.h"
#include "platform/linux/hotkeys/XcbHotKeys.h"
#include "platform/linux/hotkeys/binding/HotKeyBinder.h"
#include "platform/linux/process/CommandLine.h"
#include "platform/linux/process/QtMainQueue.h"
#include "platform/linux/process/SingleInstance.h"
#include "platform/linux/process/TerminationSignals.h"
#include "platform/linux/process/ThreadWorkQueue.h"
#include "platform/linux/shortcuts/LinuxApplicationShortcuts.h"
#include "platform/linux/wayland/WaylandWindowSystem.h"
#include "platform/linux/x11/X11PanelHints.h"
#include "platform/linux/x11/X11WindowSystem.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <unistd.h>

namespace {

constexpr int forwardTimeoutMs = 5000;

tavlin::AccessibilitySettingsLocation desktopAccessibilitySettings() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return {std::string(tavlin::platform::AccessibilitySettings::link),
            tavlin::platform::AccessibilitySettings::applicationIds(desktop ? desktop : "")};
}

// Why the overlay's display can't be reached, if so: Qt then runs on its minimal
// platform, enough to answer the command line, and a start that would show the overlay
// stops with this reason.
std::optional<std::string> displayProblem(bool wayland) {
    auto problem = tavlin::platform::X11Display::unreachable();
    if (problem && wayland)
        return "this Wayland session has no XWayland (" + *problem + "); Tavlin's overlay needs it";
    return problem;
}

// The `tavlin` command that started this program: the launcher's absolute path, which
// it passes in TAVLIN_LAUNCHER (taken out of the environment here, before any thread,
// so that no program started later inherits it); run directly, this program itself.
std::string launcherCommand() {
    std::string launcher;
    if (const char* given = std::getenv("TAVLIN_LAUNCHER")) launcher = given;
    unsetenv("TAVLIN_LAUNCHER");
    if (!launcher.empty() && launcher.front() == '/' && access(launcher.c_str(), X_OK) == 0) return launcher;
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("tavlin") : self.string();
}

// Acts on a command line: this start's own, or one a later start handed over.
void perform(tavlin::AppDelegate& delegate, const tavlin::platform::CommandLine& commandLine) {
    if (commandLine.request() != tavlin::platform::CommandLine::Request::Run) return;
    if (commandLine.toggle()) delegate.hotKeyPressed();
    if (!commandLine.urls().empty()) delegate.application(commandLine.urls());
}

using namespace tavlin;
using namespace tavlin::platform;

// --help and --version need no display and touch nothing else either: a core
// application answers them. The exit status when it did.
std::optional<int> answerHelpOrVersion(int& argc, char** argv) {
    if (std::none_of(argv + 1, argv + argc, [](const char* a) {
            const std::string_view arg(a);
            return arg == "--help" || arg == "-h" || arg == "--help-all" || arg == "--version" || arg == "-v";
        }))
        return std::nullopt;
    QCoreApplication core(argc, argv);
    core.setApplicationName(QStringLiteral("Tavlin"));
    core.setApplicationVersion(QStringLiteral(TAVLIN_VERSION));
    const CommandLine commandLine = CommandLine::parse(core.arguments());
    if (commandLine.request() == CommandLine::Request::Help || commandLine.request() == CommandLine::Request::Version) {
        std::fputs(commandLine.text().toLocal8Bit().constData(), stdout);
        return 0;
    }
    return std::nullopt;
}

// Where the overlay is shown: in a Wayland session or on an X11 display.
struct OverlayDisplay {
    bool wayland = false;
    std::optional<std::string> problem; // why it can't be reached, if so
};

// Chooses Qt's platform, before the application is made. The hot key and the panel are
// X11's: in a Wayland session they go through XWayland, where a window can float above
// the others and take the keyboard. A Wayland platform set for the session's Qt
// applications is not for us.
OverlayDisplay chooseQtPlatform() {
    OverlayDisplay display;
    display.wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (display.wayland && qgetenv("QT_QPA_PLATFORM").startsWith("wayland")) qunsetenv("QT_QPA_PLATFORM");
    // Without a display Qt's minimal platform stands in, so that --help and
    // --bind-hot-key still answer.
    display.problem = displayProblem(display.wayland);
    // (Even where QT_QPA_PLATFORM asks for xcb: Qt's xcb platform stops the process
    // cold when it can't use the display.)
    if (display.problem || qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", display.problem ? "minimal" : "xcb");
    return display;
}

// Answers a command line that asks for something other than a run (binding the hot key,
// help, a usage error), and refuses a run without the overlay's display. The exit
// status when this process ends here.
std::optional<int> answerWithoutRunning(const CommandLine& commandLine, const std::string& command,
                                        const OverlayDisplay& display) {
    switch (commandLine.request()) {
    case CommandLine::Request::Run: break;
    case CommandLine::Request::BindHotKey:
        return HotKeyBinder::run(command);
    case CommandLine::Request::Help:
    case CommandLine::Request::Version:
    case CommandLine::Request::Error:
        std::fputs(commandLine.text().toLocal8Bit().constData(),
                   commandLine.request() == CommandLine::Request::Error ? stderr : stdout);
        return commandLine.exitStatus();
    }
    if (display.problem) {
        std::fprintf(stderr, "tavlin: %s\n", display.problem->c_str());
        return 1;
    }
    return std::nullopt;
}

LinuxCommonShortcuts::Desktop currentDesktop() {
    const char* desktopNames = std::getenv("XDG_CURRENT_DESKTOP");
    return LinuxCommonShortcuts::desktop(desktopNames ? desktopNames : "");
}

// The desktop's word for the key Qt calls Meta: KDE calls the Super key Meta, as Qt does.
QString metaKeyName(LinuxCommonShortcuts::Desktop desktop) {
    return desktop == LinuxCommonShortcuts::Desktop::kde ? QStringLiteral("Meta") : QStringLiteral("Super");
}

// Makes this process the instance, or else hands its command line to the instance that
// runs. The exit status when this process ends here.
std::optional<int> deferToRunningInstance(SingleInstance& instance, const CommandLine& commandLine) {
    switch (instance.becomeInstance()) {
    case SingleInstance::Role::instance: return std::nullopt;
    case SingleInstance::Role::failed:
        std::fprintf(stderr, "tavlin: %s\n", instance.errorString().c_str());
        return 1;
    case SingleInstance::Role::other: break;
    }
    const auto forwarded = commandLine.forwardedArguments();
    if (forwarded.empty()) { // nothing to hand over: only ask whether it answers
        if (instance.forward({}, forwardTimeoutMs) == SingleInstance::Delivery::delivered) {
            std::fputs("tavlin: already running (press Alt+Space, or use its tray icon)\n", stderr);
            return 0;
        }
        std::fputs("tavlin: another Tavlin holds the instance lock but does not answer\n", stderr);
        return 1;
    }
    switch (instance.forward(forwarded, forwardTimeoutMs)) {
    case SingleInstance::Delivery::delivered: return 0;
    case SingleInstance::Delivery::tooLong:
        std::fprintf(stderr, "tavlin: too long: the arguments come to more than the %lld bytes the running instance takes\n",
                     static_cast<long long>(SingleInstance::maxMessageBytes));
        return 1;
    case SingleInstance::Delivery::noInstance:
    case SingleInstance::Delivery::noAnswer:
        std::fputs("tavlin: the running instance did not answer\n", stderr);
        return 1;
    }
    return 1;
}

// The hot key's adapter. No client may grab keys on Wayland: there the desktop's portal
// gives the hot key.
struct ChosenHotKeys {
    std::unique_ptr<HotKeys> keys;
    std::function<std::string()> refusal; // why the hot key was refused, in the adapter's words
    PortalHotKeys* portal = nullptr;      // its registration ends later, on a worker
};

ChosenHotKeys chooseHotKeys(bool wayland, xcb_connection_t* connection) {
    ChosenHotKeys chosen;
    if (wayland) {
        auto portalHotKeys = std::make_unique<PortalHotKeys>("tavlin", "show-shortcuts",
                                                             "Show the shortcuts of the application in front",
                                                             PortalHotKeys::Options{});
        chosen.portal = portalHotKeys.get();
        chosen.refusal = [portal = chosen.portal] { return portal->refusal(); };
        chosen.keys = std::move(portalHotKeys);
    } else {
        auto grabs = std::make_unique<XcbHotKeys>(connection, X11Display::rootWindow());
        chosen.refusal = [grabs = grabs.get()] { return grabs->refusal(); };
        chosen.keys = std::move(grabs);
    }
    return chosen;
}

// The window system. Its overlay panels are Qt windows with X11's hints, through
// XWayland in a Wayland session.
std::unique_ptr<WindowSystem> chooseWindowSystem(bool wayland, xcb_connection_t* connection, KeyText::Notation notation) {
    const auto panels = [notation](const Rect& contentRect) -> std::unique_ptr<Panel> {
        auto panel = std::make_unique<QtPanel>(contentRect, notation);
        panel->setWindowHints(std::make_unique<X11PanelHints>());
        return panel;
    };
    if (wayland) return std::make_unique<WaylandWindowSystem>(panels);
    return std::make_unique<X11WindowSystem>(connection, panels);
}

// The desktop's adapters of the shell's ports, for as long as the program runs. They are
// made in the order of the members and end in the reverse one.
struct Adapters {
    Adapters(bool wayland, xcb_connection_t* connection, KeyText::Notation notation, const std::string& command)
        : hotKeys(chooseHotKeys(wayland, connection)),
          windowSystem(chooseWindowSystem(wayland, connection, notation)),
          autostart(XdgAutostart::forCurrentUser(command)) {
        accessibility.abandonWhen([] { return !ThreadWorkQueue::jobWanted(); });
    }

    TerminationSignals terminationSignals;
    QtMainQueue mainQueue;
    ChosenHotKeys hotKeys;
    // Reads menus until the scanner has the rows it shows.
    atspi::AtspiAccessibility accessibility{ShortcutScanner::rowBudget()};
    // The application's shortcuts window and table, read on the work queue at each show.
    LinuxApplicationShortcuts applicationShortcuts;
    // Reads other applications away from the main thread; ends (and waits for the read
    // under way) before the services it reads with.
    ThreadWorkQueue workQueue{mainQueue};
    std::unique_ptr<WindowSystem> windowSystem;
    XdgAutostart autostart;
};

// The application delegate on the adapters, with what reaches it: the command lines
// later starts hand the instance, the hot key's refusal, and this start's own command
// line once the event loop runs.
std::shared_ptr<AppDelegate> wireDelegate(Adapters& adapters, SingleInstance& instance, const CommandLine& commandLine,
                                          LinuxCommonShortcuts::Desktop desktop, bool wayland) {
    auto delegate = std::make_shared<AppDelegate>(
        *adapters.windowSystem, *adapters.hotKeys.keys, adapters.mainQueue, adapters.workQueue, adapters.accessibility,
        adapters.autostart, desktopAccessibilitySettings(),
        [desktop](const std::optional<std::string>& bundle) { return LinuxCommonShortcuts::items(desktop, bundle); },
        &adapters.applicationShortcuts);
    std::weak_ptr<AppDelegate> weakDelegate = delegate;
    instance.setReceiver([weakDelegate](std::vector<std::string> received) {
        QStringList arguments{QCoreApplication::applicationName()};
        for (const std::string& argument : received) arguments << QString::fromStdString(argument);
        if (auto d = weakDelegate.lock()) perform(*d, CommandLine::parse(arguments));
    });
    // One line, on stderr and with the tray icon: the cause, and where the README says what to do.
    const auto noHotKey = [weakDelegate, wayland](const std::string& refusal) {
        auto d = weakDelegate.lock();
        if (!d) return;
        std::string note = "no hot key: " + refusal;
        if (wayland) note += "; unless the desktop runs `tavlin --toggle` on Alt+Space, run `tavlin --bind-hot-key`";
        note += " (README: \"Getting Alt+Space\")";
        std::fprintf(stderr, "tavlin: %s\n", note.c_str());
        d->showStatusNote(note);
    };
    // The portal answers when it (or the user) decides; the main thread goes on meanwhile.
    if (adapters.hotKeys.portal)
        adapters.hotKeys.portal->onSettled([noHotKey](const std::string& refusal) {
            if (!refusal.empty()) noHotKey(refusal);
        });
    QTimer::singleShot(0, QCoreApplication::instance(),
                       [weakDelegate, commandLine, hotKeyRefusal = adapters.hotKeys.refusal, noHotKey] {
                           auto d = weakDelegate.lock();
                           if (!d) return;
                           d->applicationDidFinishLaunching();
                           if (!d->hotKey()) noHotKey(hotKeyRefusal());
                           perform(*d, commandLine);
                       });
    return delegate;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tavlin;
    using namespace tavlin::platform;
    // One log: the GLib-based adapters' messages in Qt's logging categories.
    GLibLogForwarding::install();

    if (const auto status = answerHelpOrVersion(argc, argv)) return *status;

    // What users run as `tavlin`.
    const std::string command = launcherCommand();
    const OverlayDisplay display = chooseQtPlatform();
    QApplication app(argc, argv); // takes Qt's own options out of argv
    app.setApplicationName(QStringLiteral("Tavlin"));
    app.setApplicationVersion(QStringLiteral(TAVLIN_VERSION));
    app.setDesktopFileName(QStringLiteral("tavlin"));
    app.setQuitOnLastWindowClosed(false);

    const CommandLine commandLine = CommandLine::parse(app.arguments());
    if (const auto status = answerWithoutRunning(commandLine, command, display)) return *status;
    const auto desktop = currentDesktop();
    const InterfaceLanguage language(InterfaceLanguage::choose(QLocale::system()), metaKeyName(desktop));
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
    if (const auto status = deferToRunningInstance(instance, commandLine)) return *status;
    app.setWindowIcon(QtStatusItem::programIcon());

    Adapters adapters(display.wayland, connection, notation, command);
    const auto delegate = wireDelegate(adapters, instance, commandLine, desktop, display.wayland);
    return app.exec();
}
