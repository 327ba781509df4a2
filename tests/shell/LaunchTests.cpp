#include "ShellFixture.h"

namespace tavlin::testing {
namespace {

TEST(Launch, PutsTheStatusItemWithItsFiveEntryMenuIntoTheTrayAndStartsListening) {
    Shell shell;
    shell.launch();
    EXPECT_EQ(shell.desktop.activationPolicy(), ActivationPolicy::accessory);
    const SimStatusItem* item = shell.desktop.statusItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->length(), -2.0);
    ASSERT_TRUE(item->image());
    EXPECT_EQ(std::tie(item->image()->symbolName, item->image()->accessibilityDescription),
              std::tuple("command.square", "Tavlin"));
    const std::vector<std::tuple<std::string, std::string, bool>> expected = {
        {"ショートカットを表示  ⌥Space", "", false}, {"", "", true}, {"アクセシビリティ設定を開く", "", false},
        {"", "", true}, {"Tavlinを終了", "q", false}};
    ASSERT_EQ(item->menu().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const MenuEntry& entry = item->menu()[i];
        EXPECT_EQ(std::tie(entry.title, entry.keyEquivalent, entry.separator), expected[i]) << i;
        EXPECT_NE(static_cast<bool>(entry.action), entry.separator) << i;
    }
    EXPECT_EQ(shell.target(), shell.editor.processIdentifier);
    EXPECT_TRUE(shell.desktop.observingActivations());
    EXPECT_NE(shell.delegate->hotKey(), nullptr);
    EXPECT_EQ(shell.desktop.keyMonitorsInstalled(), 1u);
    EXPECT_EQ(shell.ax.trustQueries(), 0u); // the permission is neither checked nor asked for
    EXPECT_FALSE(shell.panel());
}

// Whatever the desktop refuses, the launch completes silently and the rest works.
TEST(Launch, CarriesOnWithoutWhatTheDesktopRefuses) {
    struct Degraded {
        const char* name;
        bool tray, button, symbols, handler, registration, monitor;
    };
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
            EXPECT_EQ(shell.desktop.statusItem()->imageRequests(), c.button ? 1u : 0u) << c.name;
        }
        const bool hotKey = c.handler && c.registration;
        EXPECT_EQ(shell.delegate->hotKey() != nullptr, hotKey) << c.name;
        EXPECT_EQ(shell.hotKeys.handlers().size(), hotKey ? 1u : 0u) << c.name;
        EXPECT_EQ(shell.delegate->escapeMonitor().has_value(), c.monitor) << c.name;
        EXPECT_EQ(shell.target(), shell.editor.processIdentifier) << c.name;

        shell.pressHotKey();
        EXPECT_EQ(shell.visible(), hotKey) << c.name;
        shell.deliver({"tavlin://show"});
        EXPECT_TRUE(shell.visible()) << c.name;
        shell.pressKey(53);
        EXPECT_EQ(shell.visible(), !c.monitor) << c.name;
        shell.delegate->quit();
        EXPECT_TRUE(shell.desktop.terminated()) << c.name;
        EXPECT_EQ(shell.desktop.removedMonitors().size(), c.monitor ? 1u : 0u) << c.name;
    }
}

TEST(Launch, ThisProgramInFrontIsNeverTheTarget) {
    Shell shell;
    shell.desktop.setFrontmost(shell.self);
    shell.launch();
    EXPECT_FALSE(shell.delegate->lastExternalApp());
    shell.pressHotKey();
    EXPECT_EQ(shell.desktop.panelsMade(), 0u);
    // Once another application has been in front, this program in front keeps it the target.
    shell.desktop.bringToFront(shell.editor);
    shell.desktop.setFrontmost(shell.self);
    shell.pressHotKey();
    EXPECT_EQ(shell.shown().appName(), "Editor");
}

TEST(Launch, QuitFromTheMenuRemovesTheEscapeMonitorOnceBeforeTheEnd) {
    Shell shell;
    shell.launch();
    const MonitorToken token = *shell.delegate->escapeMonitor();
    ASSERT_TRUE(shell.choose("Tavlinを終了"));
    EXPECT_TRUE(shell.desktop.terminated());
    EXPECT_EQ(shell.desktop.removedMonitors(), std::vector<MonitorToken>{token});
    shell.delegate->applicationWillTerminate();
    EXPECT_EQ(shell.desktop.removedMonitors().size(), 1u);
}

} // namespace
} // namespace tavlin::testing
