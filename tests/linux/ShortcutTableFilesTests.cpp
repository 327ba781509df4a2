#include "platform/linux/shortcuts/ShortcutTableFiles.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

using tavlin::platform::ShortcutTableFiles;

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string table(const std::string& entries, const std::string& rows) {
    return "[Tavlin Shortcuts]\nDesktopEntries=" + entries + "\n\n" + rows;
}

std::string row(const std::string& name, const std::string& title, const std::string& keys) {
    return "[" + name + "]\nGroup=Tabs\nGroup[ja]=タブ\nTitle=" + title + "\nTitle[ja]=" + title + "（日本語）\nKeys=" +
           keys + "\n";
}

} // namespace

TEST(ShortcutTableKeys, TheModelsNotationIsAcceptedAndAnythingElseRefused) {
    for (const char* keys : {"⇧⌘T", "⌃⌥⇧⌘Z", "F12", "F1", "Space", "⇧Print", "⌥⌘Space", "⎋", "⇧⌘⌦", "⌘,", "/", "⌘T, O",
                             "⌘,, ⌘.", "⌘K, ⌘C, ⌘D, ⌘E"})
        EXPECT_TRUE(ShortcutTableFiles::validKeys(keys)) << keys;
    for (const char* keys : {"", "⌘", "⌘⇧T", "⌘⌘T", "⌘t", "Ctrl+T", "F0", "F21", "F5a", "⌘ ", "⌘T, ", ", O",
                             "⌘T,O", "⌘TT", "Tab", "⌘A, ⌘B, ⌘C, ⌘D, ⌘E", "\xff"})
        EXPECT_FALSE(ShortcutTableFiles::validKeys(keys)) << keys;
}

TEST(ShortcutTableParse, RowsInFileOrderInTheAskedLanguage) {
    const std::string text = table("org.example.Browser.desktop;example;",
                                   row("Shortcut 2", "New Tab", "⌘T") + row("Shortcut 1", "Close Tab", "⌘W"));
    std::string error;
    const auto english = ShortcutTableFiles::parse(text, "C", error);
    ASSERT_TRUE(english) << error;
    EXPECT_EQ(english->desktopEntries, (std::vector<std::string>{"org.example.Browser", "example"}));
    EXPECT_EQ(english->rows, (std::vector<ShortcutTableFiles::Row>{{"Tabs", "New Tab", "⌘T"}, {"Tabs", "Close Tab", "⌘W"}}));
    const auto japanese = ShortcutTableFiles::parse(text, "ja_JP.UTF-8", error);
    ASSERT_TRUE(japanese) << error;
    EXPECT_EQ(japanese->rows.front(), (ShortcutTableFiles::Row{"タブ", "New Tab（日本語）", "⌘T"}));
}

TEST(ShortcutTableParse, ABrokenTableSaysWhy) {
    const std::vector<std::pair<std::string, std::string>> broken{
        {"not a key file", "["},
        {"no header", row("a", "New Tab", "⌘T")},
        {"no entries", table("", row("a", "New Tab", "⌘T"))},
        {"a row without keys", table("x", "[a]\nGroup=G\nTitle=T\n")},
        {"a row without a title", table("x", "[a]\nGroup=G\nKeys=⌘T\n")},
        {"keys in another notation", table("x", row("a", "New Tab", "Ctrl+T"))},
    };
    for (const auto& [what, text] : broken) {
        std::string error;
        EXPECT_FALSE(ShortcutTableFiles::parse(text, "C", error)) << what;
        EXPECT_FALSE(error.empty()) << what;
    }
    std::string rows;
    for (std::size_t i = 0; i <= ShortcutTableFiles::maximumRows; ++i) rows += row(std::to_string(i), "T", "⌘T");
    std::string error;
    EXPECT_FALSE(ShortcutTableFiles::parse(table("x", rows), "C", error));
}

// The tables shipped with the program: each one parses, in English and in Japanese, and
// names desktop entries no other table names.
TEST(ShortcutTableParse, TheShippedTablesAreValid) {
    std::set<std::string> named;
    int tables = 0;
    for (const auto& file : std::filesystem::directory_iterator(TAVLIN_SHORTCUT_TABLES)) {
        ++tables;
        const std::string text = readFile(file.path());
        std::string error;
        const auto english = ShortcutTableFiles::parse(text, "C", error);
        ASSERT_TRUE(english) << file.path() << ": " << error;
        const auto japanese = ShortcutTableFiles::parse(text, "ja_JP.UTF-8", error);
        ASSERT_TRUE(japanese) << file.path() << ": " << error;
        EXPECT_GE(english->rows.size(), 20u) << file.path();
        for (std::size_t i = 0; i < english->rows.size(); ++i) {
            EXPECT_EQ(english->rows[i].keys, japanese->rows[i].keys);
            EXPECT_NE(english->rows[i].title, japanese->rows[i].title) << "untranslated: " << english->rows[i].title;
        }
        for (const auto& id : english->desktopEntries) EXPECT_TRUE(named.insert(id).second) << "named twice: " << id;
    }
    EXPECT_GE(tables, 2);
    EXPECT_TRUE(named.count("firefox-esr") && named.count("chromium") && named.count("google-chrome"));
}

// The folders in their order: the user's tables win over the system's, a bad file is
// skipped for the next one, and an application no table names gets nothing.
TEST(ShortcutTableFolders, TheFirstTableThatNamesTheApplicationWins) {
    TempDir home, system;
    const auto folder = [](const TempDir& data) {
        const auto path = std::filesystem::path(data.path()) / "tavlin/shortcuts";
        std::filesystem::create_directories(path);
        return path;
    };
    const auto user = folder(home), shared = folder(system);
    std::ofstream(user / "a-broken.shortcuts") << table("example", "[a]\nGroup=G\nTitle=Bad\nKeys=Ctrl+B\n");
    std::ofstream(user / "b-other.shortcuts") << table("other", row("a", "Other", "⌘O"));
    std::ofstream(user / "c-mine.shortcuts") << table("example", row("a", "Mine", "⌘M"));
    std::ofstream(user / "ignored.txt") << table("example", row("a", "Not a table", "⌘X"));
    std::ofstream(shared / "example.shortcuts") << table("example;shared-only", row("a", "Shipped", "⌘S"));
    std::ofstream(shared / "huge.shortcuts")
        << table("huge", row("a", "Huge", "⌘H") + std::string(ShortcutTableFiles::maximumFileSize, '#'));
    const auto titles = [&](const std::vector<std::string>& ids) {
        std::vector<std::string> titles;
        for (const auto& row : ShortcutTableFiles::forDesktopEntries(ids, {user.string(), shared.string()})) titles.push_back(row.title);
        return titles;
    };
    EXPECT_EQ(titles({"example"}), std::vector<std::string>{"Mine"});
    EXPECT_EQ(titles({"nothing", "shared-only"}), std::vector<std::string>{"Shipped"});
    EXPECT_TRUE(titles({"huge"}).empty());
    EXPECT_TRUE(titles({"nothing"}).empty());
    EXPECT_TRUE(titles({}).empty());
}
