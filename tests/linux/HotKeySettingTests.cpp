// Binding Alt+Space in the desktops' own settings: GNOME through GSettings (in memory),
// KDE against a stand-in kglobalaccel on a private bus.
#define G_SETTINGS_ENABLE_BACKEND
#include "platform/linux/hotkeys/binding/GnomeHotKeySetting.h"
#include "platform/linux/hotkeys/binding/HotKeyBinder.h"
#include "platform/linux/hotkeys/binding/KdeHotKeySetting.h"
#include "platform/linux/hotkeys/binding/SwayHotKeySetting.h"

#include "PrivateBus.h"
#include "ScopedEnv.h"
#include "StandIn.h"
#include "TempDir.h"

#include <gio/gsettingsbackend.h>

#include <QFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <cstdlib>
#include <memory>
#include <unistd.h>

using tavlin::platform::GnomeHotKeySetting;
using tavlin::platform::HotKeyBinder;
using tavlin::platform::KdeHotKeySetting;
using tavlin::platform::SwayHotKeySetting;
using Result = tavlin::platform::HotKeySettingOutcome::Result;

namespace {

const std::string standIn = TAVLIN_TEST_DIR "/kglobalaccel_standin.py";
constexpr int altSpace = 0x08000000 | 0x20; // Qt's Alt modifier and Space key

struct SettingsDeleter {
    void operator()(GSettings* s) const { g_object_unref(s); }
};
using Settings = std::unique_ptr<GSettings, SettingsDeleter>;

std::vector<std::string> strv(GSettings* settings, const char* key) {
    gchar** values = g_settings_get_strv(settings, key);
    std::vector<std::string> list(values, values + g_strv_length(values));
    g_strfreev(values);
    return list;
}

std::string string(GSettings* settings, const char* key) {
    gchar* value = g_settings_get_string(settings, key);
    std::string text = value;
    g_free(value);
    return text;
}

// GNOME's settings in memory, back at their defaults for each test.
class GnomeHotKeySettingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
        // The installed schemas, whatever other tests did to XDG_DATA_DIRS.
        g_setenv("GSETTINGS_SCHEMA_DIR", "/usr/share/glib-2.0/schemas", TRUE);
    }
    void SetUp() override {
        for (const char* path : {GnomeHotKeySetting::customPath, custom0})
            g_settings_reset(Settings(g_settings_new_with_path(GnomeHotKeySetting::customSchema, path)).get(), "binding");
        g_settings_reset(mediaKeys.get(), "custom-keybindings");
        g_settings_reset(windowManager.get(), "activate-window-menu");
    }
    static constexpr const char* custom0 = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/";
    Settings mediaKeys{g_settings_new(GnomeHotKeySetting::mediaKeysSchema)};
    Settings windowManager{g_settings_new("org.gnome.desktop.wm.keybindings")};
};

} // namespace

TEST_F(GnomeHotKeySettingTest, BindsOnceBesideTheUsersOwnShortcuts) {
    const char* free[] = {nullptr};
    g_settings_set_strv(windowManager.get(), "activate-window-menu", free);
    const char* existing[] = {custom0, nullptr};
    g_settings_set_strv(mediaKeys.get(), "custom-keybindings", existing);

    for (int run = 0; run < 2; ++run) { // a second run rewrites, it doesn't add
        const auto outcome = GnomeHotKeySetting::bind("'/opt/my tavlin' --toggle");
        EXPECT_EQ(outcome.result, Result::bound) << outcome.message;
        EXPECT_EQ(strv(mediaKeys.get(), "custom-keybindings"),
                  (std::vector<std::string>{custom0, GnomeHotKeySetting::customPath}));
    }
    Settings ours(g_settings_new_with_path(GnomeHotKeySetting::customSchema, GnomeHotKeySetting::customPath));
    EXPECT_EQ(string(ours.get(), "command"), "'/opt/my tavlin' --toggle");
    EXPECT_TRUE(GnomeHotKeySetting::isAltSpace(string(ours.get(), "binding")));
}

TEST_F(GnomeHotKeySettingTest, NamesEveryOtherHolderOfAltSpaceWithTheCommandThatFreesIt) {
    // GNOME's default: the window menu on Alt+Space (and Alt+Space kept beside another key).
    const char* menu[] = {"<Alt>space", "<Super>F10", nullptr};
    g_settings_set_strv(windowManager.get(), "activate-window-menu", menu);
    const char* existing[] = {custom0, nullptr};
    g_settings_set_strv(mediaKeys.get(), "custom-keybindings", existing);
    g_settings_set_string(Settings(g_settings_new_with_path(GnomeHotKeySetting::customSchema, custom0)).get(), "binding",
                          "<Mod1>Space");

    const auto outcome = GnomeHotKeySetting::bind("tavlin --toggle");
    EXPECT_EQ(outcome.result, Result::taken);
    // Written all the same: it works as soon as the key is free.
    EXPECT_EQ(strv(mediaKeys.get(), "custom-keybindings").back(), GnomeHotKeySetting::customPath);
    EXPECT_EQ(GnomeHotKeySetting::freeingCommands(),
              (std::vector<std::string>{
                  "gsettings set org.gnome.desktop.wm.keybindings activate-window-menu \"['<Super>F10']\"",
                  std::string("gsettings set ") + GnomeHotKeySetting::customSchema + ":" + custom0 + " binding ''"}));
    EXPECT_NE(outcome.message.find("activate-window-menu"), std::string::npos) << outcome.message;
}

// A settings store that keeps nothing (the keyfile backend under a ~/.config that can't
// be written, here one that is a file, which holds even for root): a failure, with its
// cause, never "set".
TEST_F(GnomeHotKeySettingTest, AStoreThatKeepsNothingIsAFailureWithItsCause) {
    TempDir home;
    const std::string config = home / "config";
    close(open(config.c_str(), O_CREAT | O_WRONLY, 0600));
    std::unique_ptr<GSettingsBackend, decltype(&g_object_unref)> readOnly(
        g_keyfile_settings_backend_new((config + "/glib-2.0/settings/keyfile").c_str(), "/", nullptr), &g_object_unref);
    const auto outcome = GnomeHotKeySetting::bind("tavlin --toggle", readOnly.get());
    EXPECT_EQ(outcome.result, Result::failed) << outcome.message;
    EXPECT_NE(outcome.message.find("custom-keybindings/tavlin/name is not writable"), std::string::npos)
        << outcome.message;
}

TEST(GnomeHotKeySetting, RecognisesAltSpaceInEveryAcceleratorSpelling) {
    for (const char* yes : {"<Alt>space", "<mod1>SPACE"})
        EXPECT_TRUE(GnomeHotKeySetting::isAltSpace(yes)) << yes;
    for (const char* no : {"space", "<Alt><Shift>space", "<Super>space", "<Alt>spacebar", "<Alt space"})
        EXPECT_FALSE(GnomeHotKeySetting::isAltSpace(no)) << no;
}

TEST(KdeHotKeySetting, GivesAltSpaceToTheLaunchActionOfAHiddenDesktopEntry) {
    PrivateBus bus;
    ASSERT_TRUE(bus.start(standIn, {}));
    StandIn kglobalaccel(bus.address(), "org.kde.kglobalaccel");
    TempDir data;
    const std::string program = "/opt/my $tavlin/tavlin";

    const auto outcome = KdeHotKeySetting::bind(program, "--toggle", data / "applications", bus.address());
    EXPECT_EQ(outcome.result, Result::bound) << outcome.message;
    const QJsonArray id{"tavlin-toggle.desktop", "_launch", "Tavlin", "Show shortcuts"};
    EXPECT_EQ(kglobalaccel.call("doRegister").at(1).toArray(), id);
    EXPECT_EQ(kglobalaccel.call("setShortcut"), (QJsonArray{"setShortcut", id, QJsonArray{altSpace}, 6}));

    // The entry runs the program with --toggle, its path quoted as desktop entries require.
    GKeyFile* entry = g_key_file_new();
    ASSERT_TRUE(g_key_file_load_from_file(entry, (data / "applications/tavlin-toggle.desktop").c_str(),
                                          G_KEY_FILE_NONE, nullptr));
    gchar* exec = g_key_file_get_string(entry, "Desktop Entry", "Exec", nullptr);
    gchar** argv = nullptr;
    ASSERT_TRUE(g_shell_parse_argv(exec, nullptr, &argv, nullptr)) << exec;
    EXPECT_EQ(std::vector<std::string>(argv, argv + g_strv_length(argv)),
              (std::vector<std::string>{program, "--toggle"}));
    EXPECT_TRUE(g_key_file_get_boolean(entry, "Desktop Entry", "NoDisplay", nullptr));
    g_strfreev(argv);
    g_free(exec);
    g_key_file_unref(entry);
}

TEST(KdeHotKeySetting, ReportsAKeyItCanNotHave) {
    struct Case {
        const char* name;
        QStringList standIn; // none started when empty
        Result result;
        const char* says;
        bool applicationsIsAFile = false;
    };
    const Case cases[] = {
        {"KRunner holds it", {"--holder", "org.kde.krunner.desktop,_launch,KRunner,Run Command"}, Result::taken,
         "KRunner"},
        {"kglobalaccel keeps it", {"--refuse-keys"}, Result::taken, "Shortcuts"},
        {"no kglobalaccel", {}, Result::failed, "kglobalaccel"},
        {"no folder for the entry", {"--refuse-keys"}, Result::failed, "applications/tavlin-toggle.desktop: Not a directory", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PrivateBus bus;
        if (!c.standIn.isEmpty()) {
            ASSERT_TRUE(bus.start(standIn, c.standIn));
        }
        TempDir data;
        if (c.applicationsIsAFile) QFile(QString::fromStdString(data / "applications")).open(QIODevice::WriteOnly);
        const auto outcome = KdeHotKeySetting::bind("/usr/bin/tavlin", "--toggle", data / "applications", bus.address());
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_NE(outcome.message.find(c.says), std::string::npos) << outcome.message;
    }
}

// A line break in the program's path can't go into sway's line-based config.
TEST(SwayHotKeySetting, RefusesAProgramPathThatWouldBreakTheLine) {
    for (const char* program : {"/opt/a\nbindsym Mod4+q kill", "/opt/a\rb"}) {
        const auto outcome = SwayHotKeySetting::bind(program, "--toggle", std::nullopt);
        EXPECT_EQ(outcome.result, Result::failed) << program;
        EXPECT_EQ(outcome.message.find("bindsym"), std::string::npos) << outcome.message;
    }
}

TEST(SwayHotKeySetting, FindsAltSpaceBehindVariablesAndFlagsButNotInModes) {
    const char* config = R"(set $mod Mod1
set $modifier Mod4
bindsym $mod+space focus mode_toggle
bindsym --to-code $modifier+space exec other
bindsym Mod1+Shift+space floating toggle
# bindsym Mod1+space exec commented-out
mode "resize" {
    bindsym Mod1+space nop
}
bindsym --release Alt+Space exec y
)";
    EXPECT_EQ(SwayHotKeySetting::altSpaceBindings(config),
              (std::vector<std::string>{"bindsym $mod+space focus mode_toggle", "bindsym --release Alt+Space exec y"}));
    // sway's own default config leaves the key free.
    const auto outcome =
        SwayHotKeySetting::bind("/usr/bin/tavlin", "--toggle", "set $mod Mod4\nbindsym $mod+space focus mode_toggle\n");
    EXPECT_EQ(outcome.result, Result::instructions);
    EXPECT_NE(outcome.message.find("bindsym Mod1+space exec '/usr/bin/tavlin' --toggle"), std::string::npos);
}

// Our own binding, written by hand or as we print it, is done; another holder is not.
TEST(SwayHotKeySetting, KnowsItsOwnBindingByAnyPathAndQuoting) {
    TempDir dir;
    std::filesystem::create_directories(dir / "my bin");
    const std::string program = dir / "my bin/tavlin";
    QFile(QString::fromStdString(program)).open(QIODevice::WriteOnly);
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    std::filesystem::create_symlink(program, dir / "link");
    const ScopedEnv path("PATH", (dir / "my bin:" + std::getenv("PATH")).c_str());
    struct Case {
        std::string config;
        Result result;
    } cases[] = {
        {"bindsym Mod1+space exec '" + program + "' --toggle", Result::bound},
        {"bindsym Mod1+space exec \"" + program + "\" --toggle", Result::bound},
        {"bindsym Mod1+space exec \"'" + program + "' --toggle\"", Result::bound}, // the whole command quoted
        {"set $t '" + program + "'\nbindsym --to-code Alt+space exec --no-startup-id $t --toggle", Result::bound},
        {"bindsym Mod1+space exec " + dir / "link" + " --toggle", Result::bound}, // another path to it
        {"bindsym Mod1+space exec tavlin --toggle", Result::bound},                 // through PATH
        {"bindsym Mod1+space exec '" + program + "'", Result::taken},
        {"bindsym Mod1+space exec '" + program + "' --toggle --other", Result::taken},
        {"bindsym Mod1+space exec /usr/bin/other-tavlin --toggle", Result::taken},
        {"bindsym Mod1+space exec tavlin --toggle\nbindsym Alt+space focus mode_toggle", Result::taken},
    };
    for (const auto& c : cases) {
        const auto outcome = SwayHotKeySetting::bind(program, "--toggle", c.config);
        EXPECT_EQ(outcome.result, c.result) << c.config << "\n" << outcome.message;
    }
}

TEST(HotKeyBinder, PicksTheDesktopFromTheSession) {
    using Desktop = HotKeyBinder::Desktop;
    EXPECT_EQ(HotKeyBinder::desktop("ubuntu:GNOME", true, false), Desktop::gnome);
    EXPECT_EQ(HotKeyBinder::desktop("", true, true), Desktop::sway); // sway started by hand
    EXPECT_EQ(HotKeyBinder::desktop("Hyprland", true, false), Desktop::otherWayland);
    EXPECT_EQ(HotKeyBinder::desktop("XFCE", false, false), Desktop::x11);
}
