#include "Tavlin/AppDelegate.h"

#include "Tavlin/ShortcutScanner.h"
#include "Tavlin/ShortcutSources.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"
#include "TavlinUI/ShortcutMerge.h"
#include "platform/Translatable.h"
#include "platform/Url.h"

#include <algorithm>

namespace tavlin {

namespace {

constexpr const char* statusSymbol = "command.square";
constexpr const char* statusDescription = "Tavlin";
// The status menu's titles, which the status item shows in the interface's language.
constexpr const char* showTitle = TAVLIN_TRANSLATE_NOOP("StatusMenu", "ショートカットを表示  ⌥Space");
constexpr const char* settingsTitle = TAVLIN_TRANSLATE_NOOP("StatusMenu", "アクセシビリティ設定を開く");
constexpr const char* startAtLoginTitle = TAVLIN_TRANSLATE_NOOP("StatusMenu", "ログイン時に起動");
constexpr const char* quitTitle = TAVLIN_TRANSLATE_NOOP("StatusMenu", "Tavlinを終了");
constexpr const char* quitKeyEquivalent = "q";
constexpr const char* unnamedApplication = "現在のアプリ";
constexpr std::string_view urlScheme = "tavlin";
constexpr std::string_view urlShowHost = "show";
constexpr std::string_view urlBundleItem = "bundle";

// Schemes and hosts are case-insensitive (RFC 3986): "TAVLIN://Show" is a show request.
bool equalsAsciiCaseInsensitively(std::string_view text, std::string_view lowerCase) {
    return std::equal(text.begin(), text.end(), lowerCase.begin(), lowerCase.end(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
    });
}

bool isShowRequest(const platform::Url& url) {
    return url.scheme && equalsAsciiCaseInsensitively(*url.scheme, urlScheme) && url.host &&
           equalsAsciiCaseInsensitively(*url.host, urlShowHost);
}

// The first "bundle" item's value, when there is one and it is not empty.
std::optional<std::string> requestedBundle(const platform::Url& url) {
    if (!url.queryItems) return std::nullopt;
    const auto item = std::find_if(url.queryItems->begin(), url.queryItems->end(),
                                   [](const platform::QueryItem& q) { return q.name == urlBundleItem; });
    if (item == url.queryItems->end() || !item->value || item->value->empty()) return std::nullopt;
    return item->value;
}

} // namespace

AppDelegate::AppDelegate(platform::WindowSystem& windowSystem, platform::HotKeys& hotKeys,
                         platform::MainQueue& mainQueue, platform::WorkQueue& workQueue,
                         platform::AccessibilityService& accessibility, platform::Autostart& autostart,
                         AccessibilitySettingsLocation settings, CommonRows commonRows,
                         platform::ApplicationShortcuts* applicationShortcuts)
    : windowSystem_(windowSystem), hotKeys_(hotKeys), mainQueue_(mainQueue), workQueue_(workQueue),
      accessibility_(accessibility), autostart_(autostart), settings_(std::move(settings)),
      commonRows_(std::move(commonRows)), applicationShortcuts_(applicationShortcuts) {}

std::function<void()> AppDelegate::weakly(std::function<void(AppDelegate&)> work) {
    return [weak = weak_from_this(), work = std::move(work)] {
        if (const auto self = weak.lock()) work(*self);
    };
}

// ---------------------------------------------------------------- launch and shutdown

void AppDelegate::applicationDidFinishLaunching() {
    windowSystem_.observeTermination(weakly([](AppDelegate& self) { self.applicationWillTerminate(); }));
    windowSystem_.setActivationPolicy(platform::ActivationPolicy::accessory);

    // Without a tray there is no status item; the hot key and URL requests still work.
    statusItem_ = windowSystem_.makeStatusItem(statusItemLength);
    if (statusItem_) {
        if (statusItem_->hasButton()) statusItem_->setImage(statusSymbol, statusDescription);
        statusItem_->setMenu(statusMenu());
    }

    rememberFrontmostApp();
    windowSystem_.observeActivations([weak = weak_from_this()](const platform::ActivationNotification& note) {
        if (const auto self = weak.lock()) self->appActivated(note);
    });
    hotKey_ = GlobalHotKey::make(hotKeys_, hotKeyCode, hotKeyModifiers,
                                 weakly([](AppDelegate& self) { self.hotKeyPressed(); }));
    escapeMonitor_ = windowSystem_.addGlobalKeyDownMonitor([weak = weak_from_this()](std::uint16_t keyCode) {
        if (const auto self = weak.lock()) self->keyDown(keyCode);
    });
}

void AppDelegate::showStatusNote(const std::string& note) {
    statusNote_ = note;
    updateStatusNote();
}

void AppDelegate::updateStatusNote() {
    if (!statusItem_) return;
    std::string note = statusNote_;
    if (!note.empty() && !autostartNote_.empty()) note += '\n';
    statusItem_->setNote(note + autostartNote_);
}

std::vector<platform::MenuEntry> AppDelegate::statusMenu() {
    return {
        platform::MenuEntry::command(showTitle, weakly([](AppDelegate& self) { self.showFromMenu(); })),
        platform::MenuEntry::separatorEntry(),
        platform::MenuEntry::command(settingsTitle, weakly([](AppDelegate& self) { self.openAccessibilitySettings(); })),
        // An addition to the menu: checked while the desktop would start Tavlin at login.
        platform::MenuEntry::checkable(startAtLoginTitle, weakly([](AppDelegate& self) { self.toggleStartAtLogin(); }),
                                       [weak = weak_from_this()] {
                                           const auto self = weak.lock();
                                           return self && self->autostart_.isEnabled();
                                       }),
        platform::MenuEntry::separatorEntry(),
        platform::MenuEntry::command(quitTitle, weakly([](AppDelegate& self) { self.quit(); }), quitKeyEquivalent),
    };
}

void AppDelegate::applicationWillTerminate() {
    if (!escapeMonitor_) return;
    windowSystem_.removeMonitor(*escapeMonitor_);
    escapeMonitor_.reset();
}

void AppDelegate::toggleStartAtLogin() {
    // A refused change leaves the setting as it was; the check mark, read again at the
    // next opening, then still tells the truth, and the note says why.
    const bool wanted = !autostart_.isEnabled();
    if (autostart_.setEnabled(wanted)) {
        autostartNote_.clear();
    } else {
        const std::string problem = autostart_.problem();
        autostartNote_ = std::string(wanted ? "can't start at login" : "can't stop starting at login") +
                         (problem.empty() ? "" : ": " + problem);
    }
    updateStatusNote();
}

void AppDelegate::quit() { windowSystem_.terminate(); }

// ---------------------------------------------------------------- targeting

void AppDelegate::rememberFrontmostApp() {
    auto frontmost = windowSystem_.frontmostApplication();
    if (!frontmost || frontmost->processIdentifier == windowSystem_.processIdentifier()) return;
    setTarget(std::move(*frontmost));
}

void AppDelegate::setTarget(platform::RunningApplication application) {
    const std::int32_t pid = application.processIdentifier;
    const bool watched = lastExternalApp_ && lastExternalApp_->processIdentifier == pid;
    lastExternalApp_ = std::move(application);
    if (!watched) windowSystem_.observeProcessExit(pid, weakly([pid](AppDelegate& self) { self.processExited(pid); }));
}

void AppDelegate::processExited(std::int32_t pid) {
    if (!lastExternalApp_ || lastExternalApp_->processIdentifier != pid) return;
    lastExternalApp_.reset();
    hidePanel();
}

void AppDelegate::appActivated(const platform::ActivationNotification& notification) {
    if (!notification.userInfo) return;
    const auto entry = notification.userInfo->find(platform::ActivationNotification::applicationKey);
    if (entry == notification.userInfo->end()) return;
    const auto* application = std::get_if<platform::RunningApplication>(&entry->second);
    if (application == nullptr || application->processIdentifier == windowSystem_.processIdentifier()) return;
    setTarget(*application);
    if (shownOrPending()) hidePanel();
}

// ---------------------------------------------------------------- presentation

platform::Rect AppDelegate::panelFrame(const platform::Rect& visibleFrame) {
    const double width = std::min(std::max(visibleFrame.width * 0.78, 720.0), 1120.0);
    const double height = std::min(std::max(visibleFrame.height * 0.72, 520.0), 800.0);
    return {visibleFrame.midX() - width / 2, visibleFrame.midY() - height / 2, width, height};
}

// What a show's job read: the permission, and the rows when permitted.
struct AppDelegate::Reading {
    bool trusted = false;
    std::vector<ShortcutItem> scanned;
};

void AppDelegate::showOverlay(bool rememberCurrentApp) {
    if (rememberCurrentApp) rememberFrontmostApp();
    if (!lastExternalApp_) return;
    // With no screen at all there is nowhere to put the panel: skip the show.
    if (!windowSystem_.mainScreen() && windowSystem_.screens().empty()) return;

    const platform::RunningApplication target = *lastExternalApp_;
    const std::uint64_t show = ++*latestShow_;
    pendingShow_ = show;
    auto reading = std::make_shared<Reading>();
    workQueue_.run(
        [&accessibility = accessibility_, sources = applicationShortcuts_, latest = latestShow_, show, target, reading] {
            if (latest->load() != show) return;
            reading->trusted = accessibility.isProcessTrusted();
            if (!reading->trusted) return; // the overlay then shows the permission notice, no rows
            reading->scanned = ShortcutScanner::shortcuts(accessibility, target.processIdentifier);
            if (sources) reading->scanned = ShortcutSources::items(ShortcutSources::read(*sources, target, reading->scanned));
        },
        weakly([show, target, reading](AppDelegate& self) { self.present(show, target, *reading); }),
        // A scan for a show dropped meanwhile (hidden, or overtaken by a newer show) may stop early.
        [latest = latestShow_, show] { return latest->load() == show; });
}

void AppDelegate::present(std::uint64_t show, const platform::RunningApplication& target, const Reading& reading) {
    if (pendingShow_ != show) return;
    pendingShow_.reset();
    auto screen = windowSystem_.mainScreen();
    if (!screen) {
        const auto all = windowSystem_.screens();
        if (all.empty()) return;
        screen = all.front();
    }
    const ShortcutOverlay overlay(target.localizedName.value_or(unnamedApplication), target.icon,
                                  ShortcutMerge::merge(commonRows_ ? commonRows_(target.bundleIdentifier)
                                                                   : std::vector<ShortcutItem>{},
                                                       reading.scanned),
                                  reading.trusted,
                                  weakly([](AppDelegate& self) { self.requestAccessibilityPermission(); }),
                                  weakly([](AppDelegate& self) { self.hidePanel(); }));

    const platform::Rect frame = panelFrame(screen->visibleFrame);
    if (!panel_) {
        panel_ = windowSystem_.makePanel(frame);
        if (!panel_) return;
        panel_->observeKeyLoss(weakly([](AppDelegate& self) { self.panelLostKey(); }));
    }
    panel_->setFrame(frame, true);
    panel_->setContent(overlay);
    panel_->makeKeyAndOrderFront();
}

void AppDelegate::dropPendingShow() {
    if (!pendingShow_) return;
    pendingShow_.reset();
    ++*latestShow_;
}

bool AppDelegate::shownOrPending() const { return pendingShow_ || (panel_ && panel_->isVisible()); }

void AppDelegate::hidePanel() {
    dropPendingShow();
    if (panel_) panel_->orderOut();
}

void AppDelegate::toggleOverlay() {
    if (shownOrPending())
        hidePanel();
    else
        showOverlay(true);
}

void AppDelegate::hotKeyPressed() {
    mainQueue_.async(weakly([](AppDelegate& self) { self.toggleOverlay(); }));
}

void AppDelegate::keyDown(std::uint16_t keyCode) {
    if (keyCode != escapeKeyCode) return;
    mainQueue_.async(weakly([](AppDelegate& self) { self.hidePanel(); }));
}

void AppDelegate::panelLostKey() {
    if (panel_ && panel_->isVisible()) hidePanel();
}

void AppDelegate::showFromMenu() {
    mainQueue_.after(menuShowDelay, weakly([](AppDelegate& self) { self.showOverlay(true); }));
}

// ---------------------------------------------------------------- permission flow

void AppDelegate::requestAccessibilityPermission() {
    hidePanel();
    workQueue_.run([&accessibility = accessibility_] { accessibility.isProcessTrustedWithOptions(true); }, nullptr);
    mainQueue_.after(promptToSettingsDelay, weakly([](AppDelegate& self) { self.openAccessibilitySettings(); }));
}

void AppDelegate::openAccessibilitySettings() {
    hidePanel();
    windowSystem_.openURL(settings_.deepLink);
    bringSystemSettingsToFront(settingsAttemptBudget);
}

void AppDelegate::bringSystemSettingsToFront(std::int64_t attemptsRemaining) {
    for (const std::string& identifier : settings_.applicationIdentifiers) {
        const auto running = windowSystem_.runningApplications(identifier);
        if (!running.empty()) {
            windowSystem_.activate(running.front());
            return;
        }
    }
    if (attemptsRemaining <= 0) return;
    mainQueue_.after(settingsRetryInterval, weakly([attemptsRemaining](AppDelegate& self) {
                         self.bringSystemSettingsToFront(attemptsRemaining - 1);
                     }));
}

// ---------------------------------------------------------------- URL requests

void AppDelegate::application(const std::vector<std::string>& urls) {
    std::optional<platform::Url> request;
    for (const std::string& text : urls) {
        auto url = platform::Url::parse(text);
        if (url && isShowRequest(*url)) {
            request = std::move(url);
            break;
        }
    }
    if (!request) return;
    if (const auto bundle = requestedBundle(*request)) {
        auto running = windowSystem_.runningApplications(*bundle);
        if (!running.empty()) setTarget(std::move(running.front()));
    }
    showOverlay(false);
}

} // namespace tavlin
