#include "platform/linux/shortcuts/ElfSections.h"
#include "platform/linux/shortcuts/ProcessResourceFiles.h"
#include "platform/linux/shortcuts/ShortcutsWindowReader.h"

#include "platform/Keys.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace tavlin::platform {
namespace {

std::string selfImage() {
    std::ifstream in("/proc/self/exe", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// This program carries the fixture's bundle in a section ".gresource.tavlin_test", as
// glib-compile-resources builds it into an application: the reader finds it through
// /proc like any other process's.
TEST(ShortcutsWindowReader, FindsTheShortcutsWindowInTheProcesssOwnSections) {
    const auto file = ShortcutsWindowReader::file(getpid(), {});
    ASSERT_TRUE(file.has_value());
    EXPECT_NE(file->find("Go to tab"), std::string::npos);

    ShortcutsWindowReader::Limits small;
    small.sections.sectionBytes = 64; // the bundle is larger: nothing is read
    EXPECT_FALSE(ShortcutsWindowReader::file(getpid(), small).has_value());
    EXPECT_FALSE(ShortcutsWindowReader::file(0, {}).has_value());
}

std::optional<std::string> inBundle(const std::string& name, const ResourceBundle::Limits& limits = {}) {
    std::ifstream in(std::string(TAVLIN_TEST_BUNDLES_DIR) + "/" + name, std::ios::binary);
    return ResourceBundle::shortcutsWindowFile(std::string(std::istreambuf_iterator<char>(in), {}), limits);
}

// A bundle's shortcuts window is its help-overlay.ui, else its one other UI file with a
// window: several are a collection of other programs' (a toolkit's demonstration).
TEST(ResourceBundle, TheHelpOverlayOrTheOneOtherShortcutsWindow) {
    EXPECT_TRUE(inBundle("single.gresource").has_value()); // compressed in the bundle
    EXPECT_FALSE(inBundle("collection.gresource").has_value());
    ResourceBundle::Limits limits;
    limits.fileBytes = 100;
    EXPECT_FALSE(inBundle("single.gresource", limits).has_value());
    EXPECT_FALSE(ResourceBundle::shortcutsWindowFile("GVariant and then nothing a bundle holds", {}).has_value());
}

// A malformed ELF file gives no section or the sections it does describe, never a crash:
// the image cut short anywhere, and its header fields overwritten with junk.
TEST(ElfSections, MalformedImagesGiveNothingOrWhatTheyDescribe) {
    const std::string image = selfImage();
    ASSERT_EQ(ElfSections::inImage(image, ".gresource.", {}).size(), 1u);
    EXPECT_EQ(ElfSections::inImage(image, ".gresource.", {}).front().name, ".gresource.tavlin_test");
    for (std::size_t length : {std::size_t{0}, std::size_t{4}, std::size_t{63}, std::size_t{64}, image.size() / 2,
                               image.size() - 1})
        EXPECT_LE(ElfSections::inImage(std::string_view(image).substr(0, length), ".gresource.", {}).size(), 1u);
    // e_shoff, e_shnum and e_shstrndx of a 64-bit header.
    for (std::size_t offset : {0x28u, 0x3Cu, 0x3Eu}) {
        for (unsigned char junk : {0x00, 0x7F, 0xFF}) {
            std::string broken = image;
            for (std::size_t i = 0; i < 4 && offset + i < broken.size(); ++i) broken[offset + i] = static_cast<char>(junk);
            EXPECT_LE(ElfSections::inImage(broken, ".gresource.", {}).size(), 1u);
        }
    }
    EXPECT_TRUE(ElfSections::inFile("/not/there", ".gresource.", {}).empty());
}

// The order in which a process's files are searched, from its maps: the system's
// libraries (a toolkit's, with resources of their own) are not the application's.
TEST(ProcessResourceFiles, ExecutableThenBundlesThenItsOwnCodeEachOnce) {
    const std::string maps =
        "55d0a000-55d0b000 r--p 00000000 08:01 100 /usr/bin/app\n"
        "55d0b000-55d0c000 r-xp 00001000 08:01 100 /usr/bin/app\n"
        "7f00-7f01 r-xp 00000000 08:01 200 /usr/lib/x86_64-linux-gnu/libgtk-4.so.1\n"
        "7f01-7f02 r-xp 00000000 08:01 210 /usr/lib/x86_64-linux-gnu/app/libapp-1.so\n"
        "7f01-7f02 r--p 00010000 08:01 210 /usr/lib/x86_64-linux-gnu/app/libapp-1.so\n"
        "7f02-7f03 r--s 00000000 08:01 300 /usr/share/app/app.src.gresource\n"
        "7f03-7f04 r-xp 00000000 08:01 400 /usr/lib/x86_64-linux-gnu/application/libother.so\n"
        "7f04-7f05 r-xp 00000000 08:01 500 /usr/lib/x86_64-linux-gnu/app/libgone.so (deleted)\n"
        "7f05-7f06 rw-p 00000000 00:00 0 \n"
        "7ffd-7ffe rw-p 00000000 00:00 0                          [stack]\n"
        "broken line\n";
    using File = ProcessResourceFiles::File;
    EXPECT_EQ(ProcessResourceFiles::fromMaps(maps, "/usr/bin/app"),
              (std::vector<File>{{File::Kind::elf, "/usr/bin/app"},
                                 {File::Kind::bundle, "/usr/share/app/app.src.gresource"},
                                 {File::Kind::elf, "/usr/lib/x86_64-linux-gnu/app/libapp-1.so"}}));
    const std::string optMaps = "7f00-7f01 r-xp 00000000 08:01 200 /usr/lib/x86_64-linux-gnu/libc.so.6\n"
                                "7f01-7f02 r-xp 00000000 08:01 210 /opt/My App/lib/libmine.so\n";
    EXPECT_EQ(ProcessResourceFiles::fromMaps(optMaps, "/opt/My App/bin/mine"),
              (std::vector<File>{{File::Kind::elf, "/opt/My App/bin/mine"}, {File::Kind::elf, "/opt/My App/lib/libmine.so"}}));
}

// Titles through the application's own catalogue, with the context the file gives, only
// where the file marks them translatable; keys through the GTK accelerator parser.
TEST(ShortcutsWindowReader, RowsAreTranslatedInTheirContextAndKeyedByTheParser) {
    const char* oldLanguage = std::getenv("LANGUAGE");
    const std::string saved = oldLanguage ? oldLanguage : "";
    setenv("LANGUAGE", "de", 1);
    std::setlocale(LC_ALL, "C.UTF-8");
    const ApplicationCatalogue catalogue("tavlin-test", TAVLIN_TEST_LOCALE_DIR);
    const auto file = ShortcutsWindowReader::file(getpid(), {});
    ASSERT_TRUE(file.has_value());
    const auto rows = ShortcutsWindowReader::rows(ShortcutsWindowFile::read(*file, {}), catalogue, "App", 100);
    if (oldLanguage) setenv("LANGUAGE", saved.c_str(), 1); else unsetenv("LANGUAGE");
    std::setlocale(LC_ALL, "C");

    using Bits = Keys::MenuModifier;
    const auto f5 = static_cast<std::int64_t>(Keys::Code::function[4]);
    const auto pageDown = static_cast<std::int64_t>(Keys::Code::pageDown);
    std::vector<std::tuple<std::string, std::string, KeyEquivalent>> got;
    for (const auto& row : rows) got.emplace_back(row.group, row.title, row.key);
    EXPECT_EQ(got, (std::vector<std::tuple<std::string, std::string, KeyEquivalent>>{
                       {"Fenster", "Neues Fenster", {"n", {}, 0}},
                       {"Fenster", "Reload", {"", f5, Bits::noCommand}},
                       {"Fenster", "Reload", {"", f5, Bits::noCommand | Bits::shift}},
                       {"Tabs", "Go to tab", {"", pageDown, 0}},
                       {"Tabs", "Not translated", {"?", {}, Bits::shift}}}));
    EXPECT_EQ(ShortcutsWindowReader::rows(ShortcutsWindowFile::read(*file, {}), catalogue, "App", 2).size(), 2u);
}

} // namespace
} // namespace tavlin::platform
