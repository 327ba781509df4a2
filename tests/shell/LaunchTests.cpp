#include "ShellFixture.h"

namespace tavlin::testing {
namespace {

// The launch puts the status item into the tray and starts listening, without checking
// or asking for the permission; whatever the desktop refuses, it completes silently and
// the rest works.
TEST(Launch, CarriesOnWithoutWhatTheDesktopRefuses) {
    struct Degraded {
        const char* name;
        bool tray, button, symbols, handler, registration, monitor, panel = true;
    };
    const Degraded cases[] = {
        {"nothing refused", true, true, true, true, true, true},
        {"no tray", false, true, true, true, true, true},
        {"no button", true, false, true, true, true, true},
        {"no symbol image", true, true, false, true, true, true},
        {"handler refused", true, true, true, false, true, true},
        {"registration refused", true, true, true, true, false, true},
        {"no key monitor", true, true, true, true, true, false},
        {"no overlay window", true, true, true, true, true, true, false},
    };
    for (const Degraded& c : cases) {
        Shell shell;
        shell.desktop.setTrayAvailable(c.tray);
        shell.desktop.setStatusButtonAvailable(c.button);
        shell.desktop.setSymbolImagesAvailable(c.symbols);
        shell.hotKeys.refuseHandlers(!c.handler);
        shell.hotKeys.refuseRegistrations(!c.registration);
        shell.desktop.setKeyMonitorAvailable(c.monitor);
        shell.desktop.setPanelAvailable(c.panel);
        shell.launch();
        EXPECT_EQ(shell.ax.trustQueries(), 0u) << c.name;
        EXPECT_FALSE(shell.panel()) << c.name;

        EXPECT_EQ(shell.delegate->statusItem() != nullptr, c.tray) << c.name;
        shell.delegate->showStatusNote("no hot key");
        if (c.tray) {
            EXPECT_EQ(shell.desktop.statusItem()->note(), "no hot key") << c.name;
            EXPECT_EQ(shell.desktop.statusItem()->menu().size(), 6u) << c.name;
            // Every entry but a separator does something.
            for (const MenuEntry& entry : shell.desktop.statusItem()->menu())
                EXPECT_NE(static_cast<bool>(entry.action), entry.separator) << c.name << ": " << entry.title;
            EXPECT_EQ(shell.desktop.statusItem()->image().has_value(), c.button && c.symbols) << c.name;
            EXPECT_EQ(shell.desktop.statusItem()->imageRequests(), c.button ? 1u : 0u) << c.name;
        }
        const bool hotKey = c.handler && c.registration;
        EXPECT_EQ(shell.delegate->hotKey() != nullptr, hotKey) << c.name;
        EXPECT_EQ(shell.hotKeys.handlers().size(), hotKey ? 1u : 0u) << c.name;
        EXPECT_EQ(shell.delegate->escapeMonitor().has_value(), c.monitor) << c.name;
        EXPECT_EQ(shell.target(), shell.editor.processIdentifier) << c.name;

        shell.pressHotKey();
        EXPECT_EQ(shell.visible(), hotKey && c.panel) << c.name;
        shell.deliver({"tavlin://show"});
        EXPECT_EQ(shell.visible(), c.panel) << c.name;
        // A window the desktop could not make is asked for again at the next show.
        shell.desktop.setPanelAvailable(true);
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

// The check mark is the desktop's setting at the time of asking, and a choice turns over
// that setting, not one the program remembers; a refused change leaves it as it was,
// and says so.
TEST(Launch, StartAtLoginFollowsTheDesktopsSetting) {
    Shell shell;
    shell.launch();
    const MenuEntry entry = shell.desktop.statusItem()->menu()[3];
    ASSERT_TRUE(entry.checked);
    EXPECT_FALSE(entry.checked());
    EXPECT_FALSE(shell.autostart.isEnabled());

    ASSERT_TRUE(shell.choose("ログイン時に起動"));
    EXPECT_TRUE(shell.autostart.isEnabled());
    EXPECT_TRUE(entry.checked());

    shell.autostart.set(false); // the user removed the entry by hand
    EXPECT_FALSE(entry.checked());

    // A refused change says why with the status item, beside the note already there,
    // until a change succeeds.
    shell.delegate->showStatusNote("no hot key");
    shell.autostart.refuseChanges(true);
    shell.choose("ログイン時に起動");
    EXPECT_FALSE(shell.autostart.isEnabled());
    EXPECT_FALSE(entry.checked());
    EXPECT_EQ(shell.desktop.statusItem()->note(), "no hot key\ncan't start at login: the folder is read-only");
    shell.autostart.refuseChanges(false);
    shell.choose("ログイン時に起動");
    EXPECT_EQ(shell.desktop.statusItem()->note(), "no hot key");

    // A menu that outlives the delegate shows no check mark and asks nothing.
    shell.autostart.set(true);
    shell.delegate.reset();
    const std::size_t queries = shell.autostart.queries();
    EXPECT_FALSE(entry.checked());
    EXPECT_EQ(shell.autostart.queries(), queries);
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
