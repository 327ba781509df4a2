#include "Tavlin/ShortcutSources.h"

#include "Rows.h"
#include "TavlinUI/LinuxCommonShortcuts.h"
#include "TavlinUI/ShortcutMerge.h"
#include "platform/Keys.h"
#include "platform/sim/SimApplicationShortcuts.h"

#include <gtest/gtest.h>

#include <map>

namespace tavlin::testing {
namespace {

using platform::ApplicationShortcuts;
using Bits = platform::Keys::MenuModifier;
using Source = ShortcutSources::Source;

ApplicationShortcuts::WindowRow windowRow(std::string group, std::string title, std::string character,
                                          std::int64_t modifiers = 0, std::optional<std::int64_t> virtualKey = {}) {
    return {std::move(group), std::move(title), platform::KeyEquivalent{std::move(character), virtualKey, modifiers}};
}

std::vector<Source> sources(const std::vector<ShortcutSources::Row>& rows) {
    std::vector<Source> out;
    for (const auto& row : rows) out.push_back(row.source);
    return out;
}

// The menu bar comes first; the shortcuts window adds only keys the menu bar lacks (its
// other rows for a key the menu has are the same command under another name); the
// table is left out as soon as either gives a row.
TEST(ShortcutSources, TheShortcutsWindowAddsTheKeysTheMenuBarLacks) {
    const std::vector<ShortcutItem> menu{ShortcutItem("File", "Open…", "⌘O"), ShortcutItem("Edit", "Undo", "⌘Z")};
    const auto rows = ShortcutSources::combine(
        menu,
        {windowRow("Documents", "Browse to open document", "o"), windowRow("Zoom", "Zoom In", "+"),
         windowRow("Editing", "Toggle overwrite", "", Bits::noCommand, platform::Keys::Code::function[6]),
         windowRow("Selections", "Unselect all", "a", Bits::shift)},
        {{"Table", "Never shown", "⌘T"}});
    EXPECT_EQ(testing::rows(ShortcutSources::items(rows)),
              (std::vector<Row>{{"File", "Open…", "⌘O"},
                                {"Edit", "Undo", "⌘Z"},
                                {"Zoom", "Zoom In", "⌘+"},
                                {"Editing", "Toggle overwrite", "F7"},
                                {"Selections", "Unselect all", "⇧⌘A"}}));
    EXPECT_EQ(sources(rows), (std::vector<Source>{Source::menu, Source::menu, Source::shortcutsWindow,
                                                  Source::shortcutsWindow, Source::shortcutsWindow}));
}

// A window lists one shortcut with several keys as rows of one title: each key is kept.
// Two titles on one key (an application's window may say it twice) are both kept for the
// merge to name; an exact repeat, a row without a title and one without a key are not.
TEST(ShortcutSources, TheWindowsAlternativesAreKeptRepeatsAndBlanksAreNot) {
    const auto rows = ShortcutSources::combine(
        {},
        {windowRow("View", "Reload", "", Bits::noCommand, platform::Keys::Code::function[4]),
         windowRow("View", "Reload", "", Bits::noCommand | Bits::shift, platform::Keys::Code::function[4]),
         windowRow("Edit", "Find/Replace", "f"), windowRow("Edit", "Search within the document", "f"),
         windowRow("Edit", "Find/Replace", "f"), windowRow("Edit", "", "g"), windowRow("Edit", "No key", "")},
        {});
    EXPECT_EQ(testing::rows(ShortcutSources::items(rows)),
              (std::vector<Row>{{"View", "Reload", "F5"},
                                {"View", "Reload", "⇧F5"},
                                {"Edit", "Find/Replace", "⌘F"},
                                {"Edit", "Search within the document", "⌘F"}}));
}

TEST(ShortcutSources, TheTableOnlyWhenTheApplicationGivesNothing) {
    platform::sim::SimApplicationShortcuts sim;
    const platform::RunningApplication browser{7, "firefox-esr", "Firefox", nullptr};
    sim.tables[7] = {{"Tabs", "New Tab", "⌘T"}, {"Tabs", "", "⌘W"}, {"Tabs", "No keys", ""}};

    const auto fromTable = ShortcutSources::read(sim, browser, {});
    EXPECT_EQ(testing::rows(ShortcutSources::items(fromTable)), (std::vector<Row>{{"Tabs", "New Tab", "⌘T"}}));
    EXPECT_EQ(sources(fromTable), std::vector<Source>{Source::table});

    const auto fromMenu = ShortcutSources::read(sim, browser, {ShortcutItem("File", "Quit", "⌘Q")});
    EXPECT_EQ(sources(fromMenu), std::vector<Source>{Source::menu});
    EXPECT_EQ(sim.tableReads, 1); // not read once the menu bar gave rows

    sim.windows[7] = {windowRow("General", "Quit", "q")};
    EXPECT_EQ(sources(ShortcutSources::read(sim, browser, {})), std::vector<Source>{Source::shortcutsWindow});
    EXPECT_EQ(sim.tableReads, 1);
    EXPECT_EQ(sim.windowReads, 3);
}

// GNOME Files' five keys in the Linux common table are in its own shortcuts window too:
// merged, each key is one row, titled as the application titles it, and the window's
// other rows stay in its groups.
TEST(ShortcutSources, GnomeFilesOwnWindowAndItsCommonRowsGiveEachKeyOnce) {
    const auto window = ShortcutSources::combine(
        {},
        {windowRow("General", "New window", "n"), windowRow("General", "Undo", "z"),
         windowRow("Navigation", "Go up", "", Bits::option | Bits::noCommand, platform::Keys::Code::up),
         windowRow("Navigation", "Enter location", "l"), windowRow("View", "Show or hide hidden files", "h"),
         windowRow("Editing", "Create folder", "n", Bits::shift),
         windowRow("Editing", "Rename", "", Bits::noCommand, platform::Keys::Code::function[1])},
        {});
    const auto merged = ShortcutMerge::merge(
        LinuxCommonShortcuts::items(LinuxCommonShortcuts::Desktop::gnome, std::string(LinuxCommonShortcuts::gnomeFilesIdentifier)),
        ShortcutSources::items(window));
    std::map<std::string, std::vector<std::string>> titlesByKeys;
    for (const ShortcutItem& row : merged) titlesByKeys[row.keys()].push_back(row.title());
    for (const auto& [keys, titles] : titlesByKeys) EXPECT_EQ(titles.size(), 1u) << keys;
    EXPECT_EQ(titlesByKeys["⇧⌘N"], std::vector<std::string>{"Create folder"});
    EXPECT_EQ(titlesByKeys["⌥↑"], std::vector<std::string>{"Go up"});
    EXPECT_EQ(titlesByKeys["F2"], std::vector<std::string>{"Rename"});
    EXPECT_EQ(titlesByKeys["⌘Z"], std::vector<std::string>{"Undo"});
    EXPECT_EQ(titlesByKeys["⌘N"], std::vector<std::string>{"New window"});
}

} // namespace
} // namespace tavlin::testing
