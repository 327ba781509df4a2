#pragma once

#include "Tavlin/AccessibilitySettingsLocation.h"
#include "Tavlin/GlobalHotKey.h"
#include "TavlinUI/CommonShortcuts.h"
#include "platform/Accessibility.h"
#include "platform/ApplicationShortcuts.h"
#include "platform/Autostart.h"
#include "platform/HotKeys.h"
#include "platform/Keys.h"
#include "platform/MainQueue.h"
#include "platform/WindowSystem.h"
#include "platform/WorkQueue.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavlin {

// The application shell: owns all long-lived state (status item, overlay panel, hot
// key, target application, Escape monitor) and reacts to the hot key, the status menu,
// URL requests, key presses and application activations. Everything runs on the main
// thread but what asks the accessibility service, which may wait on other programs: that
// runs on the work queue. Deferred work holds the delegate weakly and does nothing once
// it is gone. Create with std::make_shared.
//
// A show reads the target's rows on the work queue (its menu bar, then its shortcuts
// window and table, as ShortcutSources combines them) and presents the overlay when the
// rows arrive. Until then the show is pending, and every event is handled as if the
// overlay were already up: a hot-key press, Escape, the close action, another
// application coming to the front or the shown panel losing the keyboard drop the
// pending show (so two quick presses leave the overlay hidden), and a newer show
// replaces it. The rows of a dropped or replaced show
// are never presented, and a show dropped before its reading started reads nothing.
class AppDelegate : public std::enable_shared_from_this<AppDelegate> {
public:
    // The always-available rows for the target's bundle identifier.
    using CommonRows = std::function<std::vector<ShortcutItem>(const std::optional<std::string>& bundleIdentifier)>;

    static constexpr double statusItemLength = -2.0;     // the tray's square item
    static constexpr std::uint32_t hotKeyCode = platform::Keys::Code::space;
    static constexpr std::uint32_t hotKeyModifiers = platform::Keys::HotKeyModifier::option; // Alt
    static constexpr std::uint16_t escapeKeyCode = platform::Keys::Code::escape;
    static constexpr double menuShowDelay = 0.12;
    static constexpr double promptToSettingsDelay = 0.35;
    static constexpr double settingsRetryInterval = 0.25;
    static constexpr std::int64_t settingsAttemptBudget = 6;

    // The accessibility service and the application's other shortcuts (none when null)
    // are only used from the work queue's jobs.
    AppDelegate(platform::WindowSystem& windowSystem, platform::HotKeys& hotKeys, platform::MainQueue& mainQueue,
                platform::WorkQueue& workQueue, platform::AccessibilityService& accessibility,
                platform::Autostart& autostart, AccessibilitySettingsLocation settings = {},
                CommonRows commonRows = &CommonShortcuts::items,
                platform::ApplicationShortcuts* applicationShortcuts = nullptr);

    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    // --- hooks of the application and the desktop
    // Status item and menu, target, activation observer, hot key, Escape monitor.
    void applicationDidFinishLaunching();
    // Removes the Escape monitor.
    void applicationWillTerminate();
    // A delivery of URLs: the first "tavlin://show" shows the overlay, retargeted by
    // its first "bundle" query item when that names a running application.
    void application(const std::vector<std::string>& urls);
    // Another application came to the front: it becomes the target; a visible overlay hides.
    void appActivated(const platform::ActivationNotification& notification);
    // The process `pid` ended: when it is the target, the overlay hides and the target is
    // forgotten, so that nothing is shown for an application that is gone.
    void processExited(std::int32_t pid);

    // --- status menu commands
    void showFromMenu(); // shows the overlay a moment later
    void openAccessibilitySettings();
    // Turns the start at login over, from whatever the desktop's setting is now; a change
    // the desktop refused is noted with the status item until one succeeds.
    void toggleStartAtLogin();
    void quit();
    // Shows a note with the status item (when there is one), such as why the hot key is missing.
    void showStatusNote(const std::string& note);

    // --- presentation and permission flow
    void showOverlay(bool rememberCurrentApp);
    void rememberFrontmostApp();
    void requestAccessibilityPermission();
    void bringSystemSettingsToFront(std::int64_t attemptsRemaining);
    // The hot key's action: starts a main-thread task that toggles the overlay.
    void hotKeyPressed();
    // The Escape monitor's handler: on Escape, starts a main-thread task that hides the overlay.
    void keyDown(std::uint16_t keyCode);
    // The panel lost the keyboard, or never got it: a visible overlay hides, as for an
    // activation of another application (the one it describes included).
    void panelLostKey();

    // The panel's frame for a screen's visible frame: 78 % × 72 % of it within
    // 720 × 520 and 1120 × 800 points, centred on it.
    static platform::Rect panelFrame(const platform::Rect& visibleFrame);

    // --- the state, read-only
    const platform::StatusItem* statusItem() const { return statusItem_.get(); }
    const platform::Panel* panel() const { return panel_.get(); }
    const GlobalHotKey* hotKey() const { return hotKey_.get(); }
    const std::optional<platform::RunningApplication>& lastExternalApp() const { return lastExternalApp_; }
    const std::optional<platform::MonitorToken>& escapeMonitor() const { return escapeMonitor_; }
    // Whether a show waits for its rows.
    bool showPending() const { return pendingShow_.has_value(); }

private:
    struct Reading;
    void present(std::uint64_t show, const platform::RunningApplication& target, const Reading& reading);
    void dropPendingShow();
    bool shownOrPending() const;
    void toggleOverlay();
    void hidePanel();
    // Makes `application` the target and watches for its end.
    void setTarget(platform::RunningApplication application);
    std::vector<platform::MenuEntry> statusMenu();
    void updateStatusNote();
    // A block that runs `work` on the delegate if the delegate still exists.
    std::function<void()> weakly(std::function<void(AppDelegate&)> work);

    platform::WindowSystem& windowSystem_;
    platform::HotKeys& hotKeys_;
    platform::MainQueue& mainQueue_;
    platform::WorkQueue& workQueue_;
    platform::AccessibilityService& accessibility_;
    platform::Autostart& autostart_;
    const AccessibilitySettingsLocation settings_;
    const CommonRows commonRows_;
    platform::ApplicationShortcuts* const applicationShortcuts_;

    std::unique_ptr<platform::StatusItem> statusItem_;
    std::string statusNote_;    // shown with the status item
    std::string autostartNote_; // why the last change of the start at login failed
    std::unique_ptr<platform::Panel> panel_;
    std::unique_ptr<GlobalHotKey> hotKey_;
    std::optional<platform::RunningApplication> lastExternalApp_;
    std::optional<platform::MonitorToken> escapeMonitor_;
    // The number of the latest show asked for; shared with the jobs, which skip their
    // reading when a newer number (or a drop) has overtaken theirs.
    const std::shared_ptr<std::atomic<std::uint64_t>> latestShow_ = std::make_shared<std::atomic<std::uint64_t>>(0);
    std::optional<std::uint64_t> pendingShow_;
};

} // namespace tavlin
