#include "ShellFixture.h"

#include <functional>

namespace tavlin::testing {
namespace {

enum class State { neverShown, visible, hidden };

const char* name(State s) {
    switch (s) {
    case State::neverShown: return "never shown";
    case State::visible: return "visible";
    case State::hidden: return "hidden";
    }
    return "?";
}

State stateOf(const Shell& shell) {
    if (!shell.delegate->panel()) return State::neverShown;
    return shell.delegate->panel()->isVisible() ? State::visible : State::hidden;
}

struct Event {
    const char* name;
    std::function<void(Shell&)> apply;
};

struct Outcome {
    State state;
    bool rebuilt;           // the content was built afresh
    std::int32_t target;    // pid of the target afterwards
};

constexpr std::int32_t editor = 101, viewer = 102;
constexpr std::optional<Outcome> notApplicable = std::nullopt;

// Every cell of the overlay's state table. Before each event the viewer has quietly
// come to the front (no activation notification): an event that re-reads the frontmost
// application retargets to it, the others keep the editor.
TEST(OverlayStateTable, EveryEventInEveryState) {
    const Event events[] = {
        {"hot key", [](Shell& s) { s.pressHotKey(); }},
        {"menu command", [](Shell& s) { s.choose("ショートカットを表示  ⌥Space"); }},
        {"URL request", [](Shell& s) { s.delegate->application({"tavlin://show"}); }},
        {"Escape", [](Shell& s) { s.pressKey(53); }},
        {"another key", [](Shell& s) { s.pressKey(49); }},
        {"activation of another app", [](Shell& s) { s.desktop.bringToFront(s.viewer); }},
        {"activation of this program", [](Shell& s) { s.desktop.bringToFront(s.self); }},
        {"close action", [](Shell& s) { s.shown().close()(); }},
        {"permission button", [](Shell& s) { s.shown().openSettings()(); }},
        {"settings command", [](Shell& s) { s.choose("アクセシビリティ設定を開く"); }},
    };
    using O = std::optional<Outcome>;
    const State V = State::visible, H = State::hidden, N = State::neverShown;
    // columns: never shown, visible, hidden
    const O table[][3] = {
        {Outcome{V, true, viewer}, Outcome{H, false, editor}, Outcome{V, true, viewer}},
        {Outcome{V, true, viewer}, Outcome{V, true, viewer}, Outcome{V, true, viewer}},
        {Outcome{V, true, editor}, Outcome{V, true, editor}, Outcome{V, true, editor}},
        {Outcome{N, false, editor}, Outcome{H, false, editor}, Outcome{H, false, editor}},
        {Outcome{N, false, editor}, Outcome{V, false, editor}, Outcome{H, false, editor}},
        {Outcome{N, false, viewer}, Outcome{H, false, viewer}, Outcome{H, false, viewer}},
        {Outcome{N, false, editor}, Outcome{V, false, editor}, Outcome{H, false, editor}},
        {notApplicable, Outcome{H, false, editor}, Outcome{H, false, editor}},
        {notApplicable, Outcome{H, false, editor}, Outcome{H, false, editor}},
        {Outcome{N, false, editor}, Outcome{H, false, editor}, Outcome{H, false, editor}},
    };
    static_assert(std::size(events) == std::size(table));

    for (std::size_t e = 0; e < std::size(events); ++e) {
        for (const State from : {N, V, H}) {
            const O& expected = table[e][static_cast<int>(from)];
            if (!expected) continue;
            Shell shell;
            shell.launch();
            if (from != N) shell.pressHotKey();
            if (from == H) shell.pressHotKey();
            ASSERT_EQ(stateOf(shell), from);
            const std::size_t contentBefore = shell.panel() ? shell.panel()->contentChanges() : 0;
            shell.desktop.setFrontmost(shell.viewer);

            events[e].apply(shell);
            shell.queue.advance(2.0); // lets delayed work finish

            const std::string cell = std::string(events[e].name) + " when " + name(from);
            EXPECT_EQ(stateOf(shell), expected->state) << cell;
            const std::size_t contentAfter = shell.panel() ? shell.panel()->contentChanges() : 0;
            EXPECT_EQ(contentAfter > contentBefore, expected->rebuilt) << cell;
            EXPECT_EQ(shell.target(), expected->target) << cell;
            EXPECT_LE(shell.desktop.panelsMade(), 1u) << cell;
            if (expected->rebuilt) {
                EXPECT_EQ(shell.shown().appName(), expected->target == editor ? "Editor" : "Viewer") << cell;
            }
        }
    }
}

TEST(OverlayFlow, TheHotKeyTogglesOnTheMainThreadNeverInline) {
    Shell shell;
    shell.launch();
    shell.hotKeys.press(49, 2048);
    EXPECT_FALSE(shell.panel()); // the press only started a task
    shell.queue.runDue();
    EXPECT_TRUE(shell.visible());

    // Two presses before the main thread runs: each task decides from what it finds.
    shell.hotKeys.press(49, 2048);
    shell.hotKeys.press(49, 2048);
    EXPECT_TRUE(shell.visible());
    shell.queue.runDue();
    EXPECT_TRUE(shell.visible()); // hidden by the first task, shown again by the second
    EXPECT_EQ(shell.panel()->orderOutCount(), 1u);
    EXPECT_EQ(shell.panel()->orderFrontCount(), 2u);
}

TEST(OverlayFlow, EscapeHidesOnTheMainThreadNeverInline) {
    Shell shell;
    shell.launch();
    shell.pressHotKey();
    shell.desktop.pressKey(53);
    EXPECT_TRUE(shell.visible());
    shell.queue.runDue();
    EXPECT_FALSE(shell.visible());
}

TEST(OverlayFlow, TheMenuCommandShowsTwelveHundredthsOfASecondLaterForWhatIsThenInFront) {
    Shell shell;
    shell.launch();
    shell.choose("ショートカットを表示  ⌥Space");
    shell.queue.advance(0.1);
    shell.desktop.setFrontmost(shell.viewer);
    shell.queue.advance(0.019);
    EXPECT_FALSE(shell.panel());
    shell.queue.advance(0.001);
    ASSERT_TRUE(shell.visible());
    EXPECT_EQ(shell.shown().appName(), "Viewer");

    // This program in front by then: the previous target stays.
    shell.desktop.setFrontmost(shell.self);
    shell.choose("ショートカットを表示  ⌥Space");
    shell.queue.advance(0.12);
    EXPECT_EQ(shell.shown().appName(), "Viewer");
    EXPECT_EQ(shell.panel()->contentChanges(), 2u);
}

TEST(OverlayFlow, ThisProgramIsNeverRecordedAsTheTargetByTrackingAlone) {
    Shell shell;
    shell.launch();
    shell.desktop.setFrontmost(shell.self);
    shell.pressHotKey();
    EXPECT_EQ(shell.shown().appName(), "Editor");
    shell.pressHotKey();
    shell.desktop.bringToFront(shell.self);
    shell.choose("ショートカットを表示  ⌥Space");
    shell.queue.advance(1);
    EXPECT_EQ(shell.shown().appName(), "Editor");
    EXPECT_EQ(shell.target(), shell.editor.processIdentifier);
}

TEST(OverlayFlow, UnusableActivationNotificationsAreIgnored) {
    Shell shell;
    shell.launch();
    shell.pressHotKey();
    ActivationNotification noUserInfo;
    ActivationNotification noEntry;
    noEntry.userInfo.emplace();
    ActivationNotification wrongKind;
    wrongKind.userInfo.emplace();
    wrongKind.userInfo->emplace("application", std::string("com.example.Viewer"));
    ActivationNotification otherKey;
    otherKey.userInfo.emplace();
    otherKey.userInfo->emplace("app", shell.viewer);
    for (const auto& note : {noUserInfo, noEntry, wrongKind, otherKey}) shell.desktop.postActivation(note);
    EXPECT_TRUE(shell.visible());
    EXPECT_EQ(shell.target(), shell.editor.processIdentifier);
}

TEST(OverlayFlow, ContentMergesTheCommonRowsWithTheTargetsMenusWhenTrusted) {
    Shell shell;
    auto menus = SimMenuBar::application({
        {"Edit", {{"Undo Typing", "z", 0, {}, {}, true, {}}, {"Copy", "c", 0, {}, {}, true, {}}}},
        {"Format", {{"Bold", "b", 0, {}, {}, true, {}}, {"Ruler", "r", 2, {}, {}, false, {}}}},
    });
    shell.ax.addApplication(shell.editor.processIdentifier, menus);
    shell.launch();
    shell.pressHotKey();

    const ShortcutOverlay& overlay = shell.shown();
    EXPECT_TRUE(overlay.accessibilityGranted());
    EXPECT_EQ(overlay.appName(), "Editor");
    EXPECT_EQ(overlay.appIcon(), shell.editor.icon);
    const auto& rows = overlay.shortcuts();
    ASSERT_EQ(rows.size(), 15u); // 14 common rows, then Bold
    EXPECT_EQ(rows[0].title(), "Copy");
    EXPECT_EQ(rows[0].group(), "基本操作 · 常設");
    EXPECT_EQ(rows[3].title(), "Undo Typing");
    EXPECT_EQ(rows[14].group(), "Format");
    EXPECT_EQ(rows[14].title(), "Bold");
    EXPECT_EQ(rows[14].keys(), "⌘B");
    EXPECT_EQ(shell.ax.trustQueries(), 1u);

    // Every show reads the menus afresh.
    menus->clear();
    shell.pressHotKey();
    shell.pressHotKey();
    EXPECT_EQ(shell.shown().shortcuts().size(), 14u);
    EXPECT_EQ(shell.ax.createCount(), 2u);
}

TEST(OverlayFlow, WithoutThePermissionTheScannerIsNotCalledAndTheContentSaysSo) {
    Shell shell;
    shell.ax.setTrusted(false);
    shell.ax.addApplication(shell.editor.processIdentifier,
                            SimMenuBar::application({{"Format", {{"Bold", "b", 0, {}, {}, true, {}}}}}));
    shell.launch();
    shell.pressHotKey();
    EXPECT_EQ(shell.ax.createCount(), 0u);
    EXPECT_FALSE(shell.shown().accessibilityGranted());
    EXPECT_EQ(shell.shown().shortcuts().size(), 14u);
    EXPECT_EQ(shell.ax.promptRequests(), 0u);
}

TEST(OverlayFlow, ATargetWithoutNameIconOrBundleStillShows) {
    Shell shell;
    const RunningApplication bare{300, std::nullopt, std::nullopt, nullptr};
    shell.desktop.setFrontmost(bare);
    shell.launch();
    shell.pressHotKey();
    EXPECT_EQ(shell.shown().appName(), "現在のアプリ");
    EXPECT_EQ(shell.shown().appIcon(), nullptr);
    EXPECT_EQ(shell.shown().shortcuts().size(), 14u);

    const RunningApplication finder{301, "com.apple.finder", "Finder", nullptr};
    shell.desktop.bringToFront(finder);
    shell.pressHotKey();
    EXPECT_EQ(shell.shown().shortcuts().size(), 18u);
}

// Deferred work holds the delegate weakly: once it is gone, nothing of it runs.
TEST(OverlayFlow, NothingRunsForADelegateThatIsGone) {
    Shell shell;
    shell.launch();
    shell.pressHotKey();
    const ShortcutOverlay overlay = shell.shown();
    shell.hotKeys.press(49, 2048);                  // toggle task pending
    shell.desktop.pressKey(53);                     // Escape task pending
    shell.choose("ショートカットを表示  ⌥Space");     // 0.12 s block pending
    shell.choose("アクセシビリティ設定を開く");         // retry chain pending
    shell.delegate->requestAccessibilityPermission(); // 0.35 s block pending
    const auto lookups = shell.desktop.lookups().size();
    const auto urls = shell.desktop.openedURLs().size();
    const auto fronts = shell.panel()->orderFrontCount();
    const auto outs = shell.panel()->orderOutCount();

    std::weak_ptr<AppDelegate> gone = shell.delegate;
    shell.delegate.reset();
    EXPECT_TRUE(gone.expired());
    EXPECT_TRUE(shell.hotKeys.registrations().empty());
    EXPECT_TRUE(shell.hotKeys.handlers().empty());

    shell.queue.drain();
    overlay.close()();
    overlay.openSettings()();
    shell.desktop.pressKey(53);
    shell.desktop.bringToFront(shell.viewer);
    shell.choose("Tavlinを終了");
    shell.queue.drain();

    EXPECT_EQ(shell.queue.pending(), 0u);
    EXPECT_EQ(shell.desktop.lookups().size(), lookups);
    EXPECT_EQ(shell.desktop.openedURLs().size(), urls);
    EXPECT_EQ(shell.panel()->orderFrontCount(), fronts);
    EXPECT_EQ(shell.panel()->orderOutCount(), outs);
    EXPECT_TRUE(shell.desktop.activations().empty());
    EXPECT_TRUE(shell.desktop.removedMonitors().empty());
    EXPECT_FALSE(shell.desktop.terminated());
}

} // namespace
} // namespace tavlin::testing
