#include "ShellFixture.h"

#include <cmath>

namespace tavlin::testing {
namespace {

const std::string deepLink = "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
const RunningApplication preferences = app(501, "com.apple.systempreferences", "System Preferences");
const RunningApplication settings = app(502, "com.apple.SystemSettings", "System Settings");

// The settings command with the settings application appearing at a given moment:
// the pane opens at once, without the prompt, and the application is looked up at 0,
// 0.25, ... 1.5 s (both identifiers each time) until it is found and activated.
TEST(PermissionFlow, TheSettingsCommandLooksUpSevenTimesAQuarterSecondApartUntilFound) {
    constexpr double step = 0.005;
    struct AppearCase {
        const char* name;
        double appearsAt; // negative: running from the start
        RunningApplication application;
        std::vector<double> rounds;
    };
    const AppearCase cases[] = {
        {"already running", -1, preferences, {0}},
        {"appearing at 0.9 s", 0.9, settings, {0, 0.25, 0.5, 0.75, 1.0}},
        {"appearing at 1.4 s", 1.4, preferences, {0, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5}},
        {"never appearing", 99, preferences, {0, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5}},
    };
    for (const AppearCase& c : cases) {
        Shell shell;
        shell.launch();
        if (c.appearsAt < 0) shell.desktop.addApplication(c.application);
        shell.choose("アクセシビリティ設定を開く");
        EXPECT_EQ(shell.desktop.openedURLs(), std::vector<std::string>{deepLink}) << c.name;
        std::vector<double> rounds; // clock times at which a lookup round started
        std::size_t seen = 0;
        for (int n = 0; shell.queue.now() < 3.0; shell.queue.advanceTo(++n * step)) {
            if (std::abs(shell.queue.now() - c.appearsAt) < 1e-9) shell.desktop.addApplication(c.application);
            for (; seen < shell.desktop.lookups().size(); ++seen)
                if (shell.desktop.lookups()[seen] == "com.apple.systempreferences") rounds.push_back(shell.queue.now());
        }
        ASSERT_EQ(rounds.size(), c.rounds.size()) << c.name;
        for (std::size_t i = 0; i < rounds.size(); ++i) EXPECT_NEAR(rounds[i], c.rounds[i], step / 2) << c.name;
        const bool found = c.appearsAt < 1.5;
        const bool firstIdentifier = found && c.application.processIdentifier == preferences.processIdentifier;
        EXPECT_EQ(shell.desktop.lookups().size(), 2 * rounds.size() - (firstIdentifier ? 1 : 0)) << c.name;
        ASSERT_EQ(shell.desktop.activations().size(), found ? 1u : 0u) << c.name;
        if (found) {
            EXPECT_EQ(shell.desktop.activations()[0].processIdentifier, c.application.processIdentifier) << c.name;
        }
        EXPECT_EQ(shell.queue.pending(), 0u) << c.name;
        EXPECT_EQ(shell.ax.promptRequests(), 0u) << c.name;
    }
}

TEST(PermissionFlow, TheOverlaysButtonHidesAsksForThePromptAndOpensThePaneAThirdOfASecondLater) {
    for (const bool alreadyTrusted : {false, true}) {
        Shell shell;
        shell.ax.setTrusted(alreadyTrusted);
        shell.desktop.addApplication(settings);
        shell.launch();
        shell.pressHotKey();
        shell.shown().openSettings()();
        EXPECT_FALSE(shell.visible());
        EXPECT_EQ(shell.ax.promptRequests(), 0u); // asked on the work queue
        shell.queue.runDue();
        EXPECT_EQ(shell.ax.promptRequests(), 1u);
        shell.queue.advance(0.349);
        EXPECT_TRUE(shell.desktop.openedURLs().empty());
        shell.queue.advance(0.001);
        EXPECT_EQ(shell.desktop.openedURLs(), std::vector<std::string>{deepLink});
        EXPECT_EQ(shell.desktop.activations().size(), 1u);
    }
}

} // namespace
} // namespace tavlin::testing
