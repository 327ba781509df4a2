#include "ShellFixture.h"

namespace tavlin::testing {
namespace {

TEST(Launch, PutsTheStatusItemWithItsFiveEntryMenuIntoTheTray) {
    Shell shell;
    shell.launch();
    EXPECT_EQ(shell.desktop.activationPolicy(), ActivationPolicy::accessory);
    const SimStatusItem* item = shell.desktop.statusItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->length(), -2.0);
    ASSERT_TRUE(item->image());
    EXPECT_EQ(item->image()->symbolName, "command.square");
    EXPECT_EQ(item->image()->accessibilityDescription, "Tavlin");

    struct Entry {
        std::string title, keyEquivalent;
        bool separator;
    };
    const std::vector<Entry> expected = {
        {"ショートカットを表示  ⌥Space", "", false}, {"", "", true}, {"アクセシビリティ設定を開く", "", false},
        {"", "", true}, {"Tavlinを終了", "q", false}};
    ASSERT_EQ(item->menu().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const MenuEntry& entry = item->menu()[i];
        EXPECT_EQ(entry.title, expected[i].title) << i;
        EXPECT_EQ(entry.keyEquivalent, expected[i].keyEquivalent) << i;
        EXPECT_EQ(entry.separator, expected[i].separator) << i;
        EXPECT_EQ(static_cast<bool>(entry.action), !expected[i].separator) << i;
    }
    EXPECT_EQ(shell.target(), shell.editor.processIdentifier);
    EXPECT_TRUE(shell.desktop.observingActivations());
    EXPECT_NE(shell.delegate->hotKey(), nullptr);
    EXPECT_TRUE(shell.delegate->escapeMonitor());
    EXPECT_EQ(shell.desktop.keyMonitorsInstalled(), 1u);
    EXPECT_EQ(shell.ax.trustQueries(), 0u); // the permission is neither checked nor asked for
    EXPECT_FALSE(shell.panel());
}

struct Degraded {
    const char* name;
    bool tray, button, symbols, handler, registration, monitor;
};

// Whatever the desktop refuses, the launch completes, nothing is reported, and the
// rest of the program keeps working.
TEST(Launch, CarriesOnWithoutWhatTheDesktopRefuses) {
    const Degraded cases[] = {
        {"no tray", false, true, true, true, true, true},
        {"no button", true, false, true, true, true, true},
        {"no symbol image", true, true, false, true, true, true},
        {"handler refused", true, true, true, false, true, true},
        {"registration refused", true, true, true, true, false, true},
        {"no key monitor", true, true, true, true, true, false},
    };
    for (const Degraded& c : cases) {
        Shell shell;
        shell.desktop.setTrayAvailable(c.tray);
        shell.desktop.setStatusButtonAvailable(c.button);
        shell.desktop.setSymbolImagesAvailable(c.symbols);
        shell.hotKeys.refuseHandlers(!c.handler);
        shell.hotKeys.refuseRegistrations(!c.registration);
        shell.desktop.setKeyMonitorAvailable(c.monitor);
        shell.launch();

        EXPECT_EQ(shell.delegate->statusItem() != nullptr, c.tray) << c.name;
        if (c.tray) {
            EXPECT_EQ(shell.desktop.statusItem()->menu().size(), 5u) << c.name;
            EXPECT_EQ(shell.desktop.statusItem()->image().has_value(), c.button && c.symbols) << c.name;
        }
        const bool hotKey = c.handler && c.registration;
        EXPECT_EQ(shell.delegate->hotKey() != nullptr, hotKey) << c.name;
        if (!hotKey) {
            EXPECT_TRUE(shell.hotKeys.handlers().empty()) << c.name;
        }
        EXPECT_EQ(shell.delegate->escapeMonitor().has_value(), c.monitor) << c.name;
        EXPECT_TRUE(shell.desktop.observingActivations()) << c.name;
        EXPECT_EQ(shell.target(), shell.editor.processIdentifier) << c.name;

        // The other ways in still work.
        shell.pressHotKey();
        EXPECT_EQ(shell.visible(), hotKey) << c.name;
        shell.delegate->application({"tavlin://show"});
        EXPECT_TRUE(shell.visible()) << c.name;
        shell.pressKey(53);
        EXPECT_EQ(shell.visible(), !c.monitor) << c.name;
        if (c.tray) {
            shell.choose("ショートカットを表示  ⌥Space");
            shell.queue.advance(0.12);
            EXPECT_TRUE(shell.visible()) << c.name;
        }
        shell.delegate->quit();
        EXPECT_TRUE(shell.desktop.terminated()) << c.name;
    }
}

TEST(Launch, WhileThisProgramIsInFrontNothingIsTargetedAndTheHotKeyShowsNothing) {
    Shell shell;
    shell.desktop.setFrontmost(shell.self);
    shell.launch();
    EXPECT_FALSE(shell.delegate->lastExternalApp());
    shell.pressHotKey();
    EXPECT_FALSE(shell.panel());
    EXPECT_EQ(shell.desktop.panelsMade(), 0u);
}

TEST(Launch, QuitFromTheMenuRunsTheTerminationHookWhichRemovesTheEscapeMonitor) {
    Shell shell;
    shell.launch();
    const MonitorToken token = *shell.delegate->escapeMonitor();
    ASSERT_TRUE(shell.choose("Tavlinを終了"));
    EXPECT_TRUE(shell.desktop.terminated());
    EXPECT_EQ(shell.desktop.removedMonitors(), std::vector<MonitorToken>{token});
    EXPECT_EQ(shell.desktop.keyMonitorsInstalled(), 0u);
    // A second termination request removes nothing more.
    shell.delegate->applicationWillTerminate();
    EXPECT_EQ(shell.desktop.removedMonitors().size(), 1u);
}

TEST(Launch, TerminationWithoutAMonitorRemovesNothing) {
    Shell shell;
    shell.desktop.setKeyMonitorAvailable(false);
    shell.launch();
    shell.delegate->quit();
    EXPECT_TRUE(shell.desktop.terminated());
    EXPECT_TRUE(shell.desktop.removedMonitors().empty());
}

} // namespace
} // namespace tavlin::testing
