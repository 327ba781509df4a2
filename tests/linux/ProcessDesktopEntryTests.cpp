#include "platform/linux/desktop/ProcessDesktopEntry.h"

#include <gtest/gtest.h>

using tavlin::platform::ProcessDesktopEntry;
using namespace std::string_literals;

// The launch environment names the entry only for the process that was launched: its
// children inherit the variables, and are other applications.
TEST(ProcessDesktopEntryTest, TheEntryTheLauncherNamed) {
    struct Case {
        const char* what;
        std::string environment;
        std::optional<std::string> id;
    } cases[] = {
        {"launched by GIO", "HOME=/h\0GIO_LAUNCHED_DESKTOP_FILE=/usr/share/applications/org.gnome.Maps.desktop\0"
                            "GIO_LAUNCHED_DESKTOP_FILE_PID=42\0"s, "org.gnome.Maps"},
        {"a child of the launched process", "GIO_LAUNCHED_DESKTOP_FILE=/a/org.gnome.Terminal.desktop\0"
                                            "GIO_LAUNCHED_DESKTOP_FILE_PID=7\0"s, std::nullopt},
        {"a pid that only starts alike", "GIO_LAUNCHED_DESKTOP_FILE=/a/x.desktop\0GIO_LAUNCHED_DESKTOP_FILE_PID=420\0"s,
         std::nullopt},
        {"the launcher's hint", "BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/firefox_firefox.desktop\0"s,
         "firefox_firefox"},
        {"GIO before the hint", "BAMF_DESKTOP_FILE_HINT=/a/hint.desktop\0GIO_LAUNCHED_DESKTOP_FILE=/a/gio.desktop\0"
                                "GIO_LAUNCHED_DESKTOP_FILE_PID=42\0"s, "gio"},
        {"the hint for a child", "GIO_LAUNCHED_DESKTOP_FILE=/a/gio.desktop\0GIO_LAUNCHED_DESKTOP_FILE_PID=1\0"
                                 "BAMF_DESKTOP_FILE_HINT=/a/hint.desktop\0"s, "hint"},
        {"no final NUL", "GIO_LAUNCHED_DESKTOP_FILE_PID=42\0GIO_LAUNCHED_DESKTOP_FILE=/a/last.desktop"s, "last"},
        {"not a desktop file", "GIO_LAUNCHED_DESKTOP_FILE=/usr/bin/maps\0GIO_LAUNCHED_DESKTOP_FILE_PID=42\0"s,
         std::nullopt},
        {"only the suffix", "BAMF_DESKTOP_FILE_HINT=/a/.desktop\0"s, std::nullopt},
        {"entries without a value", "GIO_LAUNCHED_DESKTOP_FILE\0\0=\0GIO_LAUNCHED_DESKTOP_FILE_PID=42\0"s, std::nullopt},
        {"nothing", ""s, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ProcessDesktopEntry::launchedId(c.environment, 42), c.id) << c.what;
}

TEST(ProcessDesktopEntryTest, TheArgumentsAfterTheProgram) {
    using List = std::vector<std::string>;
    EXPECT_EQ(ProcessDesktopEntry::arguments("/usr/lib/libreoffice/program/soffice.bin\0--writer\0--splash-pipe=5\0"s),
              (List{"--writer", "--splash-pipe=5"}));
    EXPECT_EQ(ProcessDesktopEntry::arguments("mousepad\0\0a file\0"s), (List{"", "a file"})); // an empty argument
    EXPECT_EQ(ProcessDesktopEntry::arguments("mousepad"s), List{});
    EXPECT_EQ(ProcessDesktopEntry::arguments(""s), List{});
}
