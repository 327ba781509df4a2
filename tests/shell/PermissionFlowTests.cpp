#include "ShellFixture.h"

#include <cmath>
#include <limits>

namespace tavlin::testing {
namespace {

const std::string deepLink = "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
const RunningApplication preferences = app(501, "com.apple.systempreferences", "System Preferences");
const RunningApplication settings = app(502, "com.apple.SystemSettings", "System Settings");

constexpr double stepLength = 0.005;

// The clock times at which the settings application was looked up, one per lookup
// round (a round asks for each identifier until one is running), while the clock runs
// on to `until` in small steps; `at` runs after each step.
std::vector<double> lookupRounds(Shell& shell, double until, const std::function<void(double)>& at = {}) {
    std::vector<double> rounds;
    std::size_t seen = 0;
    auto note = [&] {
        const auto& lookups = shell.desktop.lookups();
        for (; seen < lookups.size(); ++seen)
            if (lookups[seen] == "com.apple.systempreferences") rounds.push_back(shell.queue.now());
    };
    note();
    const double start = shell.queue.now();
    for (int step = 1; shell.queue.now() < until - 1e-9; ++step) {
        shell.queue.advanceTo(start + step * stepLength);
        if (at) at(shell.queue.now());
        note();
    }
    return rounds;
}

void expectTimes(const std::vector<double>& actual, const std::vector<double>& expected, const char* what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], stepLength / 2) << what << " #" << i;
}

TEST(PermissionFlow, TheSettingsCommandOpensThePaneAtOnceAndLooksUpSevenTimesAQuarterSecondApart) {
    Shell shell;
    shell.launch();
    shell.choose("アクセシビリティ設定を開く");
    EXPECT_EQ(shell.desktop.openedURLs(), std::vector<std::string>{deepLink});
    EXPECT_EQ(shell.ax.promptRequests(), 0u);
    const auto rounds = lookupRounds(shell, 3.0);
    expectTimes(rounds, {0, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5}, "never appearing");
    // Both identifiers asked every round, in order; then silence.
    ASSERT_EQ(shell.desktop.lookups().size(), 14u);
    EXPECT_EQ(shell.desktop.lookups()[1], "com.apple.SystemSettings");
    EXPECT_TRUE(shell.desktop.activations().empty());
    EXPECT_EQ(shell.queue.pending(), 0u);
}

TEST(PermissionFlow, TheLookupsStopAtTheFirstSuccess) {
    struct AppearCase {
        const char* name;
        std::optional<double> appearsAt; // none: running from the start
        RunningApplication application;
        std::vector<double> rounds;
    };
    const AppearCase cases[] = {
        {"already running", std::nullopt, preferences, {0}},
        {"appearing at 0.9 s", 0.9, settings, {0, 0.25, 0.5, 0.75, 1.0}},
        {"appearing at 1.4 s", 1.4, preferences, {0, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5}},
    };
    for (const AppearCase& c : cases) {
        Shell shell;
        shell.launch();
        if (!c.appearsAt) shell.desktop.addApplication(c.application);
        shell.choose("アクセシビリティ設定を開く");
        const auto rounds = lookupRounds(shell, 3.0, [&](double now) {
            if (c.appearsAt && std::abs(now - *c.appearsAt) < 1e-9) shell.desktop.addApplication(c.application);
        });
        expectTimes(rounds, c.rounds, c.name);
        ASSERT_EQ(shell.desktop.activations().size(), 1u) << c.name;
        EXPECT_EQ(shell.desktop.activations()[0].processIdentifier, c.application.processIdentifier) << c.name;
        EXPECT_EQ(shell.queue.pending(), 0u) << c.name;
    }
}

TEST(PermissionFlow, WithBothSettingsApplicationsRunningOnlyTheFirstIdentifierIsActivated) {
    Shell shell;
    shell.desktop.addApplication(settings);
    shell.desktop.addApplication(preferences);
    shell.launch();
    shell.choose("アクセシビリティ設定を開く");
    ASSERT_EQ(shell.desktop.activations().size(), 1u);
    EXPECT_EQ(shell.desktop.activations()[0].bundleIdentifier, "com.apple.systempreferences");
    EXPECT_EQ(shell.desktop.lookups(), std::vector<std::string>{"com.apple.systempreferences"});
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
        EXPECT_EQ(shell.ax.promptRequests(), 1u);
        shell.queue.advance(0.349);
        EXPECT_TRUE(shell.desktop.openedURLs().empty());
        shell.queue.advance(0.001);
        EXPECT_EQ(shell.desktop.openedURLs(), std::vector<std::string>{deepLink});
        EXPECT_EQ(shell.desktop.activations().size(), 1u);
    }
}

TEST(PermissionFlow, TwoRequestsRunTwoIndependentChains) {
    Shell shell;
    shell.launch();
    shell.choose("アクセシビリティ設定を開く");
    shell.queue.advance(0.1);
    shell.choose("アクセシビリティ設定を開く");
    shell.queue.advance(5);
    EXPECT_EQ(shell.desktop.openedURLs().size(), 2u);
    EXPECT_EQ(shell.desktop.lookups().size(), 28u);
}

TEST(PermissionFlow, ANonPositiveBudgetLooksUpOnceAndStops) {
    for (const std::int64_t budget : {std::int64_t{0}, std::int64_t{-1}, std::numeric_limits<std::int64_t>::min()}) {
        Shell shell;
        shell.delegate->bringSystemSettingsToFront(budget);
        shell.queue.drain();
        EXPECT_EQ(shell.desktop.lookups().size(), 2u) << budget;
    }
}

TEST(PermissionFlow, TheDesktopsOwnSettingsLocationIsUsedInstead) {
    SimWindowSystem desktop;
    SimHotKeys hotKeys;
    SimMainQueue queue;
    SimAccessibilityService ax;
    const AccessibilitySettingsLocation location{"settings://accessibility", {"org.desktop.Settings", "org.desktop.Control"}};
    desktop.addApplication(app(700, "org.desktop.Control", "Control"));
    auto delegate = std::make_shared<AppDelegate>(desktop, hotKeys, queue, ax, location);
    delegate->openAccessibilitySettings();
    EXPECT_EQ(desktop.openedURLs(), std::vector<std::string>{"settings://accessibility"});
    EXPECT_EQ(desktop.lookups(), (std::vector<std::string>{"org.desktop.Settings", "org.desktop.Control"}));
    ASSERT_EQ(desktop.activations().size(), 1u);
    EXPECT_EQ(desktop.activations()[0].processIdentifier, 700);
}

} // namespace
} // namespace tavlin::testing
