#include "platform/linux/desktop/DesktopEntries.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using tavlin::platform::DesktopEntries;

namespace {

// Desktop entries in a scratch data directory that GIO reads instead of the system's.
// GIO reads the directories once per process, so every test here shares one set.
class DesktopEntriesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        data_ = new TempDir;
        mkdir((*data_ / "applications").c_str(), 0755);
        write("org.example.Editor.desktop", "Name=Example Editor\nIcon=accessories-text-editor\n");
        write("frobnicator.desktop", "Name=Frobnicator\nIcon=/opt/frob/frob.png\n");
        write("wmclassy.desktop", "Name=Classy\nStartupWMClass=Classy-Window\n");
        write("hidden.desktop", "Name=Hidden Helper\nNoDisplay=true\n");
        // GIO loads only the entries whose program is there to run.
        for (const char* folder : {"bin", "opt", "elsewhere"}) mkdir((*data_ / folder).c_str(), 0755);
        for (const char* file : {"bin/frob-tool", "opt/editor", "elsewhere/frob-tool"}) {
            std::ofstream(*data_ / file) << "#!/bin/sh\n";
            chmod((*data_ / file).c_str(), 0755);
        }
        // Real entries: mousepad's own and its settings', LibreOffice's (one program, many
        // entries), as their packages install them (translations left out).
        for (const char* entry : {"org.xfce.mousepad.desktop", "org.xfce.mousepad-settings.desktop",
                                  "libreoffice-writer.desktop", "libreoffice-startcenter.desktop",
                                  "libreoffice-xsltfilter.desktop"})
            std::filesystem::copy_file(TAVLIN_TEST_DIR "/entries/" + std::string(entry),
                                       *data_ / ("applications/" + std::string(entry)));
        // LibreOffice's layout: libreoffice in PATH is a link to its soffice, a script
        // that runs soffice.bin.
        std::filesystem::create_directories(*data_ / "lib/libreoffice/program");
        for (const char* file : {"bin/mousepad", "lib/libreoffice/program/soffice", "lib/libreoffice/program/soffice.bin"}) {
            std::ofstream(*data_ / file) << "#!/bin/sh\n";
            chmod((*data_ / file).c_str(), 0755);
        }
        std::filesystem::create_symlink("../lib/libreoffice/program/soffice", *data_ / "bin/libreoffice");
        // Read once by GIO: mousepad's settings entry is not shown in GNOME.
        setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
        setenv("PATH", (data_->path() + "/bin:/usr/bin:/bin").c_str(), 1);
        writeExec("by-absolute-path", *data_ / "opt/editor" + " --new-window %U");
        writeExec("by-search-path", "frob-tool %F");
        writeExec("name-twin", *data_ / "elsewhere/frob-tool");
        writeExec("wrapped", "env GDK_BACKEND=x11 wrapped-program");
        writeExec("script", "python3 /opt/script/main.py");
        setenv("XDG_DATA_HOME", data_->path().c_str(), 1);
        setenv("XDG_DATA_DIRS", data_->path().c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete data_;
        data_ = nullptr;
    }
    static void write(const std::string& file, const std::string& body) {
        std::ofstream(*data_ / ("applications/" + file))
            << "[Desktop Entry]\nType=Application\nExec=true\n" << body;
    }
    static void writeExec(const std::string& id, const std::string& exec) {
        std::ofstream(*data_ / ("applications/" + id + ".desktop"))
            << "[Desktop Entry]\nType=Application\nName=" << id << "\nExec=" << exec << "\n";
    }
    static TempDir* data_;
};
TempDir* DesktopEntriesTest::data_ = nullptr;

} // namespace

TEST_F(DesktopEntriesTest, AnEntryByItsId) {
    const auto entry = DesktopEntries::withId("org.example.Editor");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->id, "org.example.Editor");
    EXPECT_EQ(entry->name, "Example Editor");
    EXPECT_EQ(entry->icon, "accessories-text-editor");
    const auto withIconFile = DesktopEntries::withId("frobnicator");
    ASSERT_TRUE(withIconFile);
    EXPECT_EQ(withIconFile->icon, "/opt/frob/frob.png"); // an icon file keeps its path
    EXPECT_FALSE(DesktopEntries::withId("org.example.Missing"));
    EXPECT_FALSE(DesktopEntries::withId(""));
}

TEST_F(DesktopEntriesTest, AnEntryByWindowClass) {
    struct Case {
        std::string_view instance, className;
        std::optional<std::string> id;
    } cases[] = {
        {"classy", "Classy-Window", "wmclassy"},     // StartupWMClass, the class
        {"Classy-Window", "Other", "wmclassy"},      // StartupWMClass, the instance
        {"frobnicator", "Frobnicator", "frobnicator"}, // the id, ignoring case
        {"x", "FROBNICATOR", "frobnicator"},
        {"hidden", "Hidden", "hidden"},               // hidden entries still name their windows
        {"nothing", "Nothing", std::nullopt},
        {"", "", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto entry = DesktopEntries::forWindowClass(c.instance, c.className);
        EXPECT_EQ(entry ? std::optional(entry->id) : std::nullopt, c.id) << c.instance << " " << c.className;
    }
}

// An entry matches the program its Exec line starts, found by path, through PATH, or by
// file name; interpreters and launchers name no application.
TEST_F(DesktopEntriesTest, TheEntryThatStartsAnExecutable) {
    struct Case {
        std::string path;
        std::optional<std::string> id;
    } cases[] = {
        {*data_ / "opt/editor", "by-absolute-path"},
        {*data_ / "bin/frob-tool", "by-search-path"}, // the entry that starts this very file
        {*data_ / "elsewhere/frob-tool", "name-twin"},
        {"/usr/local/bin/editor", "by-absolute-path"}, // no entry starts this file: the name alone
        {"/usr/bin/wrapped-program", std::nullopt},          // env starts it: the entry names env
        {"/usr/bin/env", std::nullopt},
        {"/usr/bin/python3", std::nullopt},
        {"/usr/bin/python3.11", std::nullopt},
        {"editor", std::nullopt},                            // not a path
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto entry = DesktopEntries::forExecutable(c.path);
        EXPECT_EQ(entry ? std::optional(entry->id) : std::nullopt, c.id) << c.path;
    }
}

// Of an application's several entries, the one that names it: by the ids it gives itself,
// else by the program it runs and the arguments it was started with, shown entries first.
TEST_F(DesktopEntriesTest, TheApplicationsOwnEntryAmongSeveral) {
    const std::string mousepad = *data_ / "bin/mousepad";
    const std::string program = *data_ / "lib/libreoffice/program/";
    struct Case {
        const char* what;
        DesktopEntries::Clues clues;
        std::optional<std::string> id;
    } cases[] = {
        {"GTK's application id", {{"org.xfce.mousepad"}, mousepad, {}}, "org.xfce.mousepad"},
        {"the name on the bus, the vendor's domain aside", {{"mousepad"}, "", {}}, "org.xfce.mousepad"},
        {"the program alone", {{}, mousepad, {}}, "org.xfce.mousepad"},
        {"the program with a file", {{"Mousepad"}, mousepad, {"/tmp/notes.txt"}}, "org.xfce.mousepad"},
        {"the program as its settings entry starts it", {{}, mousepad, {"--preferences"}},
         "org.xfce.mousepad-settings"},
        {"an X11 window class", {{"libreoffice-writer", "libreoffice"}, "", {}},
         "libreoffice-writer"},
        {"Writer's process", {{"soffice"}, program + "soffice.bin", {"--writer", "--splash-pipe=5"}},
         "libreoffice-writer"},
        {"Writer through the link", {{}, *data_ / "bin/libreoffice", {"--writer"}}, "libreoffice-writer"},
        {"the start center, not the hidden filter entry", {{}, program + "soffice", {}}, "libreoffice-startcenter"},
        {"a module without its own entry", {{}, program + "soffice.bin", {"--calc"}}, "libreoffice-startcenter"},
        {"an application with none", {{"frobulator"}, "/usr/bin/frobulator", {}}, std::nullopt},
        {"nothing known", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto entry = DesktopEntries::forApplication(c.clues);
        EXPECT_EQ(entry ? std::optional(entry->id) : std::nullopt, c.id) << c.what;
    }
    const auto writer = DesktopEntries::forExecutable(program + "soffice.bin", {"--writer"});
    ASSERT_TRUE(writer);
    EXPECT_EQ(writer->name, "LibreOffice Writer");
    EXPECT_EQ(writer->icon, "libreoffice-writer");
}
