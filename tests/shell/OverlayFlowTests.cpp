#include "ShellFixture.h"

#include <algorithm>
#include <functional>

namespace tavlin::testing {
namespace {

// The state of the overlay as one cell of the table below: N never shown, V visible,
// H hidden; '*' when the content was built afresh; the target, e(ditor), v(iewer) or
// - (none).
std::string cell(const Shell& shell, std::size_t contentBefore) {
    std::string out = !shell.panel() ? "N" : shell.panel()->isVisible() ? "V" : "H";
    if (shell.panel() && shell.panel()->contentChanges() > contentBefore) out += '*';
    const std::int32_t target = shell.target();
    return out + (target == shell.editor.processIdentifier ? "e" : target == shell.viewer.processIdentifier ? "v" : "-");
}

// Every cell of the overlay's state table, from the editor as target. Before each event
// the viewer has quietly come to the front (no activation notification): an event that
// re-reads the frontmost application retargets to it, the others keep the editor.
TEST(OverlayStateTable, EveryEventInEveryState) {
    struct Row {
        const char* event;
        std::function<void(Shell&)> apply;
        const char* from[3]; // never shown, visible, hidden; "" where the event can't happen
    };
    const Row rows[] = {
        {"hot key", [](Shell& s) { s.pressHotKey(); }, {"V*v", "He", "V*v"}},
        {"menu command", [](Shell& s) { s.choose("ショートカットを表示  ⌥Space"); }, {"V*v", "V*v", "V*v"}},
        {"URL request", [](Shell& s) { s.delegate->application({"tavlin://show"}); }, {"V*e", "V*e", "V*e"}},
        {"Escape", [](Shell& s) { s.pressKey(53); }, {"Ne", "He", "He"}},
        {"another key", [](Shell& s) { s.pressKey(49); }, {"Ne", "Ve", "He"}},
        {"another app activated", [](Shell& s) { s.desktop.bringToFront(s.viewer); }, {"Nv", "Hv", "Hv"}},
        {"this program activated", [](Shell& s) { s.desktop.bringToFront(s.self); }, {"Ne", "Ve", "He"}},
        {"the target quits", [](Shell& s) { s.desktop.endProcess(s.editor.processIdentifier); }, {"N-", "H-", "H-"}},
        {"close action", [](Shell& s) { s.shown().close()(); }, {"", "He", "He"}},
        {"the panel loses the keyboard", [](Shell& s) { s.panel()->loseKey(); }, {"", "He", "He"}},
        {"permission button", [](Shell& s) { s.shown().openSettings()(); }, {"", "He", "He"}},
        {"settings command", [](Shell& s) { s.choose("アクセシビリティ設定を開く"); }, {"Ne", "He", "He"}},
    };
    const char* const stateNames[] = {"never shown", "visible", "hidden"};
    for (const Row& row : rows) {
        for (int from = 0; from < 3; ++from) {
            if (*row.from[from] == '\0') continue;
            Shell shell;
            shell.launch();
            for (int press = 0; press < from; ++press) shell.pressHotKey();
            ASSERT_EQ(cell(shell, 0).front(), "NVH"[from]);
            const std::size_t before = shell.panel() ? shell.panel()->contentChanges() : 0;
            shell.desktop.setFrontmost(shell.viewer);
            row.apply(shell);
            shell.queue.advance(2.0); // lets delayed work finish
            EXPECT_EQ(cell(shell, before), row.from[from]) << row.event << " when " << stateNames[from];
            EXPECT_LE(shell.desktop.panelsMade(), 1u);
            if (cell(shell, before).find('*') != std::string::npos) {
                EXPECT_EQ(shell.shown().appName(), shell.target() == shell.editor.processIdentifier ? "Editor" : "Viewer");
            }
        }
    }
}

TEST(OverlayFlow, HotKeyAndEscapeWorkOnTheMainThreadNeverInline) {
    Shell shell;
    shell.launch();
    shell.hotKeys.press(49, 2048);
    EXPECT_FALSE(shell.panel()); // the press only started a task
    shell.queue.runDue();
    EXPECT_TRUE(shell.visible());
    shell.desktop.pressKey(53);
    EXPECT_TRUE(shell.visible());
    shell.queue.runDue();
    EXPECT_FALSE(shell.visible());
}

// Reading a target's menus takes a second here (a stopped application costs the whole
// scan budget). Meanwhile every event is handled at once, as if the overlay were up.
TEST(PendingShow, EventsWhileTheRowsAreReadActAsIfTheOverlayWereUp) {
    struct Step {
        double at;
        std::function<void(Shell&)> event;
    };
    const auto press = [](Shell& s) { s.pressHotKey(); };
    struct PendingCase {
        const char* name;
        std::vector<Step> steps;
        const char* shownFor; // null: hidden at the end
        std::size_t presentations;
        std::size_t readings; // shows whose job read the target (a dropped show's job skips it)
    };
    const PendingCase cases[] = {
        {"one press", {{0, press}}, "Editor", 1, 1},
        {"two quick presses", {{0, press}, {0.1, press}}, nullptr, 0, 1},
        {"three quick presses", {{0, press}, {0.1, press}, {0.2, press}}, "Editor", 1, 2},
        {"five presses, 0.1 s apart", {{0, press}, {0.1, press}, {0.2, press}, {0.3, press}, {0.4, press}}, "Editor", 1, 2},
        {"Escape", {{0, press}, {0.5, [](Shell& s) { s.pressKey(53); }}}, nullptr, 0, 1},
        {"another application activated",
         {{0, press}, {0.5, [](Shell& s) { s.desktop.bringToFront(s.viewer); }}}, nullptr, 0, 1},
        {"a URL for another application",
         {{0, press}, {0.5, [](Shell& s) { s.deliver({"tavlin://show?bundle=com.example.Viewer"}); }}}, "Viewer", 1, 2},
        {"the menu command",
         {{0, press}, {0.5, [](Shell& s) { s.desktop.setFrontmost(s.viewer); s.choose("ショートカットを表示  ⌥Space"); }}},
         "Viewer", 1, 2},
        {"a press while shown and refreshing",
         {{0, press}, {1.5, [](Shell& s) { s.deliver({"tavlin://show"}); }}, {1.6, press}}, nullptr, 1, 2},
    };
    for (const PendingCase& c : cases) {
        Shell shell;
        shell.work.setJobDuration(1.0);
        shell.launch();
        for (const Step& step : c.steps) {
            shell.queue.advanceTo(step.at);
            step.event(shell);
        }
        shell.queue.drain();
        EXPECT_EQ(shell.visible(), c.shownFor != nullptr) << c.name;
        if (c.shownFor) {
            EXPECT_EQ(shell.shown().appName(), c.shownFor) << c.name;
        }
        EXPECT_EQ(shell.panel() ? shell.panel()->orderFrontCount() : 0u, c.presentations) << c.name;
        EXPECT_EQ(shell.ax.trustQueries(), c.readings) << c.name;
        EXPECT_FALSE(shell.delegate->showPending()) << c.name;
    }
}

TEST(PendingShow, TheOverlayComesUpWhenTheRowsArriveWithThem) {
    Shell shell;
    shell.ax.addApplication(shell.editor.processIdentifier,
                            SimMenuBar::application({{"Edit", {{"Undo Typing", "z", 0, {}, {}, true, {}}}}}));
    shell.work.setJobDuration(1.0);
    shell.launch();
    shell.pressHotKey();
    shell.queue.advance(0.999);
    EXPECT_FALSE(shell.panel());
    EXPECT_TRUE(shell.delegate->showPending());
    shell.queue.advance(0.001);
    ASSERT_TRUE(shell.visible());
    const auto& rows = shell.shown().shortcuts();
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const ShortcutItem& row) { return row.title() == "Undo Typing"; }));
}

// A scan for a show that was dropped (hidden, or overtaken by a newer show) is told so,
// and may stop early; the scan for the show that stands is not.
TEST(PendingShow, TheScanOfADroppedShowIsNoLongerWanted) {
    Shell shell;
    shell.work.setJobDuration(1.0);
    shell.launch();
    shell.pressHotKey();
    shell.queue.advance(0.1);
    EXPECT_TRUE(shell.work.latestJobWanted());
    shell.pressHotKey(); // hides the pending show
    shell.queue.advance(0.1);
    EXPECT_FALSE(shell.work.latestJobWanted());
    shell.pressHotKey();
    shell.queue.advance(0.1);
    EXPECT_TRUE(shell.work.latestJobWanted());
    shell.queue.drain();
    EXPECT_TRUE(shell.visible());
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
}

// Each way of choosing a target moves the watch for its end to it.
TEST(OverlayFlow, OnlyTheCurrentTargetIsWatched) {
    Shell shell;
    shell.launch();
    shell.desktop.bringToFront(shell.viewer);
    EXPECT_EQ(shell.desktop.watchedProcess(), shell.viewer.processIdentifier);
    const RunningApplication player = app(103, "com.example.Player", "Player");
    shell.desktop.addApplication(player);
    shell.delegate->application({"tavlin://show?bundle=com.example.Player"});
    EXPECT_EQ(shell.desktop.watchedProcess(), player.processIdentifier);
    shell.pressHotKey(); // hides
    shell.pressHotKey(); // shows for the viewer, in front
    EXPECT_EQ(shell.desktop.watchedProcess(), shell.viewer.processIdentifier);

    // The end of a former target, reported late, changes nothing.
    shell.delegate->processExited(player.processIdentifier);
    EXPECT_TRUE(shell.visible());
    EXPECT_EQ(shell.target(), shell.viewer.processIdentifier);
}

// The desktop gives the keyboard elsewhere without telling of another application (Alt+Tab
// back to the one described, or the shell's overview) while a refresh waits for its
// rows: the refresh is dropped with the overlay.
TEST(OverlayFlow, APanelThatLosesTheKeyboardDropsTheRefreshUnderWay) {
    Shell shell;
    shell.launch();
    shell.pressHotKey();
    shell.work.setJobDuration(0.5);
    shell.deliver({"tavlin://show"});
    ASSERT_TRUE(shell.delegate->showPending());
    shell.panel()->loseKey();
    shell.queue.advance(1.0);
    EXPECT_FALSE(shell.visible());
    EXPECT_FALSE(shell.delegate->showPending());
    EXPECT_EQ(shell.panel()->orderFrontCount(), 1u);

    // A hidden panel losing the keyboard late changes nothing for the next show.
    shell.panel()->loseKey();
    shell.pressHotKey();
    shell.queue.advance(1.0);
    EXPECT_TRUE(shell.visible());
}

TEST(OverlayFlow, UnusableActivationNotificationsAreIgnored) {
    Shell shell;
    shell.launch();
    shell.pressHotKey();
    ActivationNotification noUserInfo, noEntry, wrongKind, otherKey;
    noEntry.userInfo.emplace();
    wrongKind.userInfo.emplace().emplace("application", std::string("com.example.Viewer"));
    otherKey.userInfo.emplace().emplace("app", shell.viewer);
    for (const auto& note : {noUserInfo, noEntry, wrongKind, otherKey}) shell.desktop.postActivation(note);
    EXPECT_TRUE(shell.visible());
    EXPECT_EQ(shell.target(), shell.editor.processIdentifier);
}

TEST(OverlayFlow, TheContentDescribesTheTargetAndReadsItsMenusOnlyWhenTrusted) {
    const RunningApplication bare{300, std::nullopt, std::nullopt, nullptr};
    const RunningApplication finder{301, "com.apple.finder", "Finder", nullptr};
    struct ContentCase {
        const char* name;
        bool trusted;
        RunningApplication target;
        std::vector<std::string> titles; // the rows' titles, but for base rows 5 to 14
        std::size_t rows;
    };
    const ContentCase cases[] = {
        {"trusted", true, Shell().editor, {"Copy", "切り取り", "ペースト", "Undo Typing", "Bold"}, 15},
        {"not trusted", false, Shell().editor, {"コピー", "切り取り", "ペースト", "取り消す"}, 14},
        {"without name, icon, bundle", true, bare, {"コピー", "切り取り", "ペースト", "取り消す"}, 14},
        {"file manager", true, finder,
         {"コピー", "切り取り", "ペースト", "取り消す", "選択項目のパス名をコピー", "コピーした項目をここへ移動",
          "一つ上のフォルダを開く", "新規フォルダ"},
         18},
    };
    for (const ContentCase& c : cases) {
        Shell shell;
        shell.ax.setTrusted(c.trusted);
        auto menus = SimMenuBar::application({
            {"Edit", {{"Undo Typing", "z", 0, {}, {}, true, {}}, {"Copy", "c", 0, {}, {}, true, {}}}},
            {"Format", {{"Bold", "b", 0, {}, {}, true, {}}, {"Ruler", "r", 2, {}, {}, false, {}}}},
        });
        shell.ax.addApplication(shell.editor.processIdentifier, menus);
        shell.desktop.setFrontmost(c.target);
        shell.launch();
        shell.pressHotKey();

        const ShortcutOverlay& overlay = shell.shown();
        EXPECT_EQ(overlay.appName(), c.target.localizedName.value_or("現在のアプリ")) << c.name;
        EXPECT_EQ(overlay.appIcon(), c.target.icon) << c.name;
        EXPECT_EQ(overlay.accessibilityGranted(), c.trusted) << c.name;
        EXPECT_EQ(shell.ax.createCount(), c.trusted ? 1u : 0u) << c.name; // the scanner's only way in
        ASSERT_EQ(overlay.shortcuts().size(), c.rows) << c.name;
        std::vector<std::string> titles;
        for (std::size_t i = 0; i < overlay.shortcuts().size(); ++i)
            if (i < 4 || i >= 14) titles.push_back(overlay.shortcuts()[i].title());
        EXPECT_EQ(titles, c.titles) << c.name;
        EXPECT_EQ(overlay.shortcuts()[0].group(), "基本操作 · 常設") << c.name;

        // Every show reads the menus afresh.
        menus->clear();
        shell.pressHotKey();
        shell.pressHotKey();
        EXPECT_EQ(shell.shown().shortcuts().size(), c.rows == 15 ? 14u : c.rows) << c.name;
        EXPECT_EQ(shell.ax.trustQueries(), 2u) << c.name;
    }
}

// The rows of a show come from the menu bar, then the shortcuts window, then the table,
// all read on the work queue at each show, then merged with the common rows that the
// program passes (the Linux desktop's), asked for with the target's identifier.
TEST(OverlayFlow, TheApplicationsOtherSourcesAreReadAtEachShowAndMerged) {
    Shell shell;
    std::vector<std::optional<std::string>> askedFor;
    SimApplicationShortcuts sources;
    sources.windows[shell.editor.processIdentifier] = {{"General", "Close window", KeyEquivalent{"w", {}, 0}},
                                                        {"General", "Quit", KeyEquivalent{"q", {}, 0}}};
    sources.tables[shell.viewer.processIdentifier] = {{"Tabs", "New Tab", "⌘T"}};
    shell.delegate = std::make_shared<AppDelegate>(
        shell.desktop, shell.hotKeys, shell.queue, shell.work, shell.ax, shell.autostart, AccessibilitySettingsLocation{},
        [&askedFor](const std::optional<std::string>& bundle) {
            askedFor.push_back(bundle);
            return std::vector<ShortcutItem>{ShortcutItem("Always", "閉じる", "⌘W")};
        },
        &sources);
    shell.ax.addApplication(shell.editor.processIdentifier,
                            SimMenuBar::application({{"File", {{"Quit Editor", "q", 0, {}, {}, true, {}}}}}));
    shell.launch();
    const auto shownRows = [&shell] {
        std::vector<std::string> out;
        for (const ShortcutItem& row : shell.shown().shortcuts()) out.push_back(row.group() + "/" + row.title() + "/" + row.keys());
        return out;
    };
    shell.work.setJobDuration(0.5);
    shell.pressHotKey();
    shell.queue.advance(0.5);
    ASSERT_TRUE(shell.visible());
    EXPECT_EQ(shownRows(), (std::vector<std::string>{"Always/Close window/⌘W", "File/Quit Editor/⌘Q"}));
    EXPECT_EQ(sources.tableReads, 0);

    shell.desktop.bringToFront(shell.viewer);
    shell.pressHotKey();
    shell.queue.advance(0.5);
    ASSERT_TRUE(shell.visible());
    EXPECT_EQ(shownRows(), (std::vector<std::string>{"Always/閉じる/⌘W", "Tabs/New Tab/⌘T"}));
    EXPECT_EQ(sources.windowReads, 2);
    EXPECT_EQ(sources.tableReads, 1);
    EXPECT_EQ(askedFor, (std::vector<std::optional<std::string>>{shell.editor.bundleIdentifier,
                                                                  shell.viewer.bundleIdentifier}));
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
