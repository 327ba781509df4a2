#include "platform/linux/desktop/AccessibilitySettings.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

using tavlin::platform::AccessibilitySettings;

namespace {

// A PATH holding only the named programs (empty scripts).
class FakePath {
public:
    explicit FakePath(std::initializer_list<std::string> programs) {
        if (const char* old = std::getenv("PATH")) old_ = old;
        for (const auto& program : programs) {
            std::ofstream(dir_ / program) << "#!/bin/sh\n";
            chmod((dir_ / program).c_str(), 0755);
        }
        setenv("PATH", dir_.path().c_str(), 1);
    }
    ~FakePath() { setenv("PATH", old_.c_str(), 1); }

private:
    TempDir dir_;
    std::string old_;
};

std::string chosen(std::string_view desktop) {
    const auto tool = AccessibilitySettings::installed(desktop);
    return tool ? tool->program : "(none)";
}

} // namespace

TEST(AccessibilitySettings, TheCurrentDesktopsToolWinsWhenInstalled) {
    const FakePath path{"systemsettings", "xfce4-accessibility-settings", "gnome-control-center"};
    struct Case {
        std::string_view desktop;
        std::string program;
    } cases[] = {
        {"GNOME", "gnome-control-center"},
        {"ubuntu:GNOME", "gnome-control-center"},
        {"KDE", "systemsettings"},
        {"XFCE", "xfce4-accessibility-settings"},
        {"X-Cinnamon", "gnome-control-center"}, // unknown desktop: the first installed one
        {"", "gnome-control-center"},
        {"GNOME-Flashback:Unity", "gnome-control-center"},
    };
    for (const auto& c : cases) EXPECT_EQ(chosen(c.desktop), c.program) << c.desktop;
}

TEST(AccessibilitySettings, AnotherDesktopsToolStandsInWhenTheOwnIsMissing) {
    const FakePath path{"xfce4-accessibility-settings"};
    EXPECT_EQ(chosen("GNOME"), "xfce4-accessibility-settings");
    const auto tool = AccessibilitySettings::installed("KDE");
    ASSERT_TRUE(tool);
    EXPECT_TRUE(tool->arguments.empty());
}

TEST(AccessibilitySettings, NoToolAtAllLeavesTheIdentifiersToLookFor) {
    const FakePath path{};
    EXPECT_EQ(chosen("GNOME"), "(none)");
    const auto ids = AccessibilitySettings::applicationIds("GNOME");
    EXPECT_FALSE(ids.empty());
}

TEST(AccessibilitySettings, IdentifiersPutTheChosenToolFirstAndNameEachOnce) {
    const FakePath path{"systemsettings"};
    const auto ids = AccessibilitySettings::applicationIds("KDE");
    ASSERT_GE(ids.size(), 2u);
    EXPECT_EQ(ids[0], "org.kde.systemsettings");
    EXPECT_EQ(ids[1], "systemsettings");
    for (std::size_t i = 0; i < ids.size(); ++i)
        for (std::size_t j = i + 1; j < ids.size(); ++j) EXPECT_NE(ids[i], ids[j]);
    EXPECT_NE(std::find(ids.begin(), ids.end(), "org.gnome.Settings"), ids.end());
}
