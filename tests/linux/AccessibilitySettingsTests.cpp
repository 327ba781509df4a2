#include "platform/linux/desktop/AccessibilitySettings.h"

#include "ScopedEnv.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sys/stat.h>

using tavlin::platform::AccessibilitySettings;

namespace {

// A PATH holding only the named programs (empty scripts).
class FakePath {
public:
    explicit FakePath(const std::vector<std::string>& programs) {
        for (const auto& program : programs) {
            std::ofstream(dir_ / program) << "#!/bin/sh\n";
            chmod((dir_ / program).c_str(), 0755);
        }
    }

private:
    TempDir dir_;
    ScopedEnv path_{"PATH", dir_.path().c_str()};
};

} // namespace

TEST(AccessibilitySettings, TheCurrentDesktopsToolWhenInstalledElseTheFirstInstalledOne) {
    const std::vector<std::string> all{"systemsettings", "xfce4-accessibility-settings", "gnome-control-center"};
    struct Case {
        std::vector<std::string> installed;
        std::string_view desktop;
        std::string program;
    } cases[] = {
        {all, "GNOME", "gnome-control-center"},
        {all, "ubuntu:GNOME", "gnome-control-center"},
        {all, "KDE", "systemsettings"},
        {all, "XFCE", "xfce4-accessibility-settings"},
        {all, "X-Cinnamon", "gnome-control-center"}, // unknown desktop: the first installed one
        {all, "", "gnome-control-center"},
        {all, "GNOME-Flashback:Unity", "gnome-control-center"},
        {{"xfce4-accessibility-settings"}, "GNOME", "xfce4-accessibility-settings"},
        {{}, "GNOME", "(none)"},
    };
    for (const auto& c : cases) {
        const FakePath path(c.installed);
        const auto tool = AccessibilitySettings::installed(c.desktop);
        EXPECT_EQ(tool ? tool->program : "(none)", c.program) << c.desktop << ", " << c.installed.size() << " installed";
    }
}

TEST(AccessibilitySettings, IdentifiersPutTheChosenToolFirstAndNameEachOnce) {
    const FakePath path{{"systemsettings"}};
    const auto ids = AccessibilitySettings::applicationIds("KDE");
    ASSERT_GE(ids.size(), 2u);
    EXPECT_EQ(ids[0], "org.kde.systemsettings");
    EXPECT_EQ(ids[1], "systemsettings");
    for (std::size_t i = 0; i < ids.size(); ++i)
        for (std::size_t j = i + 1; j < ids.size(); ++j) EXPECT_NE(ids[i], ids[j]);
    EXPECT_NE(std::find(ids.begin(), ids.end(), "org.gnome.Settings"), ids.end());
}
