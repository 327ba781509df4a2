// Start at login through the autostart folder: what a session would start, and the
// entry's command line surviving the desktop entry's quoting.
#include "platform/linux/desktop/XdgAutostart.h"

#include <gio/gdesktopappinfo.h> // GLib before Qt

#include "TempDir.h"

#include <gtest/gtest.h>

#include <glib.h>

#include <fstream>
#include <memory>
#include <sys/stat.h>

using tavlin::platform::XdgAutostart;

namespace {

bool exists(const std::string& path) { return g_file_test(path.c_str(), G_FILE_TEST_EXISTS); }

void writeFile(const std::string& path, const std::string& text) {
    g_mkdir_with_parents(std::string(path, 0, path.rfind('/')).c_str(), 0700);
    std::ofstream(path) << text;
}

// The argument vector a session would run for the entry at `path`.
std::vector<std::string> commandOf(const std::string& path) {
    std::unique_ptr<GKeyFile, decltype(&g_key_file_free)> file(g_key_file_new(), g_key_file_free);
    if (!g_key_file_load_from_file(file.get(), path.c_str(), G_KEY_FILE_NONE, nullptr)) return {};
    gchar* exec = g_key_file_get_string(file.get(), G_KEY_FILE_DESKTOP_GROUP, "Exec", nullptr);
    std::string value = exec ? exec : "";
    g_free(exec);
    for (std::size_t at = value.find("%%"); at != std::string::npos; at = value.find("%%", at + 1)) value.erase(at, 1);
    gchar** argv = nullptr;
    std::vector<std::string> out;
    if (g_shell_parse_argv(value.c_str(), nullptr, &argv, nullptr))
        for (gchar** arg = argv; *arg; ++arg) out.emplace_back(*arg);
    g_strfreev(argv);
    return out;
}

const std::string entry = "[Desktop Entry]\nType=Application\nName=Tavlin\nExec=tavlin\n";

} // namespace

TEST(XdgAutostart, TheUsersEntryOverridesTheSystemsEitherWay) {
    TempDir dir;
    XdgAutostart autostart(dir / "home", {dir / "first", dir / "second"}, "tavlin");
    writeFile(dir / "second/autostart/tavlin.desktop", entry);
    EXPECT_TRUE(autostart.isEnabled());

    // Turned off against a system-wide entry: the user's entry hides it rather than vanish.
    ASSERT_TRUE(autostart.setEnabled(false));
    EXPECT_TRUE(exists(autostart.userEntryPath()));
    EXPECT_FALSE(autostart.isEnabled());
    ASSERT_TRUE(autostart.setEnabled(true));
    EXPECT_TRUE(autostart.isEnabled());

    // Entries that a session would skip.
    for (const std::string& text : {entry + "Hidden=true\n", entry + "X-GNOME-Autostart-enabled=false\n",
                                    std::string("not a desktop entry\n")}) {
        writeFile(autostart.userEntryPath(), text);
        EXPECT_FALSE(autostart.isEnabled()) << text;
    }
}

TEST(XdgAutostart, AFolderThatCannotBeMadeIsAFailure) {
    TempDir dir;
    writeFile(dir / "home", "a file where the configuration directory would be");
    XdgAutostart autostart(dir / "home", {}, "tavlin");
    EXPECT_FALSE(autostart.setEnabled(true));
    EXPECT_FALSE(autostart.isEnabled());
}

TEST(XdgAutostart, AnyProgramPathComesBackAsOneArgument) {
    TempDir dir;
    for (const std::string& program : {std::string("/usr/bin/tavlin"), std::string("/opt/My Apps/tavlin"),
                                       std::string("/home/a\"b/$HOME/`x`/100%/back\\slash/tavlin")}) {
        XdgAutostart autostart(dir / "home", {}, XdgAutostart::execArgument(program));
        ASSERT_TRUE(autostart.setEnabled(true));
        EXPECT_EQ(commandOf(autostart.userEntryPath()), std::vector<std::string>{program});
    }
}

// GLib looks the program up before it turns "%%" back into "%": an entry whose program
// path holds a % must still load there, and run that program.
TEST(XdgAutostart, AProgramPathWithAPercentSignLoadsInGLib) {
    TempDir dir;
    const std::string folder = dir / "100%";
    const std::string program = folder + "/tav%lin";
    writeFile(program, "#!/bin/sh\n");
    chmod(program.c_str(), 0755);
    XdgAutostart autostart(dir / "home", {}, XdgAutostart::execLine(program));
    ASSERT_TRUE(autostart.setEnabled(true));
    std::unique_ptr<GDesktopAppInfo, decltype(&g_object_unref)> info(
        g_desktop_app_info_new_from_filename(autostart.userEntryPath().c_str()), &g_object_unref);
    ASSERT_NE(info, nullptr) << "GLib refuses the entry";
    EXPECT_EQ(commandOf(autostart.userEntryPath()), (std::vector<std::string>{"env", program}));
}
