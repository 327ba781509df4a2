#include "Tavlin/KeyNotation.h"
#include "Tavlin/ShortcutScanner.h"
#include "TavlinUI/ShortcutMerge.h"
#include "platform/sim/SimMenuBar.h"

#include "tests/core/Rows.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace tavlin;
using namespace tavlin::platform;
using namespace tavlin::platform::sim;

namespace {

using tavlin::testing::Row;
using tavlin::testing::rows;

std::vector<Row> scan(const AXElementRef& application) {
    SimAccessibilityService ax;
    ax.addApplication(42, application);
    return rows(ShortcutScanner::shortcuts(ax, 42));
}

std::vector<Row> scan(const std::vector<SimMenu>& menus) { return scan(SimMenuBar::application(menus)); }

SimMenuItem key(std::string title, std::string character, std::optional<std::int64_t> modifiers = std::nullopt) {
    return SimMenuItem{std::move(title), std::move(character), modifiers, {}, {}, true, {}};
}

struct NotationCase {
    std::string character;
    std::optional<std::int64_t> glyph, virtualKey, modifiers;
    std::string keys;
};

TEST(KeyNotation, ModifierPrefixAndKeyPartOfAMenuItem) {
    const NotationCase cases[] = {
        {"z", {}, {}, 0, "⌘Z"},
        {"z", {}, {}, 1, "⇧⌘Z"},
        {"s", {}, {}, 2, "⌥⌘S"},
        {"q", {}, {}, 4, "⌃⌘Q"},
        {"n", {}, {}, std::nullopt, "⌘N"},
        {"", {}, 122, 8, "F1"},
        {"", {}, 49, 12, "⌃Space"},
        {"", {}, 53, 15, "⌃⌥⇧⎋"},
        {"", {}, 90, 0, "⌘F20"},
        {"", {}, 200, 0, "⌘⌨"},
        {"", 0, {}, 0, "⌘⌨"},           // glyph 0 is present, but has no symbol
        {"", 27, {}, 6, "⌃⌥⌘⎋"},
        {"", 127, 36, 0, "⌘⌦"},           // a glyph wins over a key code
        {",", 3, {}, 0, "⌘,"},             // a character wins over a glyph
        {"\u00DF", {}, {}, 0, "⌘SS"},      // upper-cased by the full mapping
        {"ab", {}, {}, 0, "⌘AB"},
        {"あ", {}, {}, 0, "⌘あ"},
        {"k", {}, {}, 16 | 8, "K"},        // unknown bits are ignored
        {"k", {}, {}, -1, "⌘K"},           // not a mask: no modifiers
        {"k", {}, {}, std::int64_t{1} << 32 | 1, "⌘K"},
        {"k", {}, {}, 0xFFFFFFFF, "⌃⌥⇧K"},
    };
    for (const NotationCase& c : cases) {
        SimMenuItem item{"Item", c.character, c.modifiers, c.glyph, c.virtualKey, true, {}};
        EXPECT_EQ(scan({{"Menu", {item}}}), (std::vector<Row>{{"Menu", "Item", c.keys}})) << c.keys;
    }
}

TEST(ShortcutScanner, WalksTopLevelMenusAndTheirDirectSubmenusOnly) {
    SimMenuItem deep = key("Deep", "d");
    SimMenuItem inner{"Inner", "", {}, {}, {}, true, {key("Inner Item", "i"), deep}};
    inner.submenu[1].submenu = {key("Too Deep", "t")};
    SimMenuItem recent{"Recent", "r", 1, {}, {}, true, {key("Clear", "k"), inner}};
    SimMenuItem disabled{"Disabled", "x", {}, {}, {}, false, {key("Under Disabled", "u")}};
    SimMenuItem noKey{"No Key", "", {}, {}, {}, true, {key("Under No Key", "y")}};
    SimMenuItem untitled{"", "e", {}, {}, {}, true, {key("Under Untitled", "w")}};

    EXPECT_EQ(scan({{"File", {key("New", "n"), recent, disabled, noKey, untitled, key("Save", "s")}},
                    {"Edit", {key("Find", "f", 2)}}}),
              (std::vector<Row>{{"File", "New", "⌘N"},
                                {"File", "Recent", "⇧⌘R"},
                                {"File", "Clear", "⌘K"},
                                {"File", "Under Disabled", "⌘U"},
                                {"File", "Under No Key", "⌘Y"},
                                {"File", "Under Untitled", "⌘W"},
                                {"File", "Save", "⌘S"},
                                {"Edit", "Find", "⌥⌘F"}}));
}

TEST(ShortcutScanner, TopLevelItems) {
    auto app = SimMenuBar::application({});
    auto bar = SimMenuBar::menuBar({});
    auto untitledTop = SimElement::make();
    untitledTop->setChildren("AXChildren", {SimMenuBar::menu({key("A", "a")})});
    auto emptyTitleTop = SimElement::make();
    emptyTitleTop->setText("AXTitle", "").setChildren("AXChildren", {SimMenuBar::menu({key("B", "b")})});
    auto twoMenus = SimElement::make();
    twoMenus->setText("AXTitle", "Two")
        .setChildren("AXChildren", {SimMenuBar::menu({key("C", "c")}), SimMenuBar::menu({key("D", "d")})});
    auto numberTitle = SimElement::make();
    numberTitle->setInteger("AXTitle", 7).setChildren("AXChildren", {SimMenuBar::menu({key("E", "e")})});
    auto noChildren = SimElement::make();
    noChildren->setText("AXTitle", "Empty");
    // Non-elements in the list are skipped, the elements kept in order.
    bar->set("AXChildren", AXValue{AXValueList{AXValue{std::string("junk")}, AXValue{AXElementRef(untitledTop)},
                                               AXValue{AXNumber{1}}, AXValue{AXElementRef(emptyTitleTop)},
                                               AXValue{AXElementRef(twoMenus)}, AXValue{AXElementRef()},
                                               AXValue{AXElementRef(noChildren)}, AXValue{AXElementRef(numberTitle)}}});
    app->set("AXMenuBar", AXValue{AXElementRef(bar)});
    EXPECT_EQ(scan(app), (std::vector<Row>{{"メニュー", "A", "⌘A"}, {"Two", "C", "⌘C"}, {"メニュー", "E", "⌘E"}}));
}

TEST(ShortcutScanner, RepeatsAreDroppedByTitleAndKeysThenCappedAt80) {
    EXPECT_EQ(scan({{"File", {key("Close", "w"), key("Close", "w", 1)}}, {"Window", {key("Close", "w"), key("Min", "m")}}}),
              (std::vector<Row>{{"File", "Close", "⌘W"}, {"File", "Close", "⇧⌘W"}, {"Window", "Min", "⌘M"}}));

    // 90 items, of which 20 are repeats: the cap counts only the 70 + 20 distinct ones.
    std::vector<SimMenuItem> items;
    for (int i = 0; i < 90; ++i) items.push_back(key("Item " + std::to_string(i % 70), i < 70 ? "a" : "a"));
    std::vector<SimMenuItem> more;
    for (int i = 0; i < 20; ++i) more.push_back(key("More " + std::to_string(i), "b"));
    const auto result = scan({{"One", items}, {"Two", more}});
    ASSERT_EQ(result.size(), 80u);
    EXPECT_EQ(result[69], (Row{"One", "Item 69", "⌘A"}));
    EXPECT_EQ(result[70], (Row{"Two", "More 0", "⌘B"}));
    EXPECT_EQ(result[79], (Row{"Two", "More 9", "⌘B"}));

    // A title that contains the separator never merges two different rows.
    EXPECT_EQ(scan({{"M", {key("A|⌘B", "c"), key("A", "b|⌘c")}}}).size(), 2u);
}

// The budget a menu bar's reader stops by tells rows apart as the scan does; the items
// of an untitled top-level menu give none.
TEST(ShortcutScanner, ItsRowBudgetTellsRowsApartAsTheScanDoes) {
    const RowBudget budget = ShortcutScanner::rowBudget();
    EXPECT_EQ(budget.rows, ShortcutScanner::resultCap);
    auto topLevel = [](std::optional<std::string> title) {
        auto element = SimElement::make();
        if (title) element->setText("AXTitle", *title);
        return element;
    };
    auto identity = [&budget](const std::shared_ptr<SimElement>& top, const SimMenuItem& item) {
        return budget.identity(*top, *SimMenuBar::item(item));
    };
    const auto file = topLevel("File"), window = topLevel("Window");
    ASSERT_TRUE(identity(file, key("Close", "w")));
    EXPECT_EQ(identity(file, key("Close", "w")), identity(window, key("Close", "w")));
    EXPECT_EQ(identity(file, key("Caf\u00e9", "w")), identity(window, key("Cafe\u0301", "w")));
    EXPECT_NE(identity(file, key("Close", "w")), identity(file, key("Close", "w", 1)));
    EXPECT_NE(identity(file, key("A|⌘B", "c")), identity(file, key("A", "b|⌘c")));
    EXPECT_TRUE(identity(topLevel(std::nullopt), key("Close", "w")));
    EXPECT_EQ(identity(topLevel(""), key("Close", "w")), std::nullopt);
    EXPECT_EQ(identity(file, SimMenuItem{"Off", "o", {}, {}, {}, false, {}}), std::nullopt);
    EXPECT_EQ(identity(file, key("No key", "")), std::nullopt);
}

// A key sequence is one key text, its chords joined by ", ": repeats and the merge
// compare it whole, and a chord that can't be read drops the row rather than cut it.
TEST(ShortcutScanner, AKeySequenceIsOneKeyTextOrNoRow) {
    auto sequence = [](std::string title, std::vector<SimMenuItem> following) {
        SimMenuItem item = key(std::move(title), "t");
        item.followingChords = std::move(following);
        return item;
    };
    const SimMenuItem o = key("", "o", 8), ctrlO = key("", "o"), f1{"", "", 8, {}, 122, true, {}};
    const SimMenuItem space{"", " ", 8, {}, {}, true, {}}, comma = key("", ",");
    const SimMenuItem none{"", "", 8, {}, {}, true, {}};
    const auto rows = scan({{"File",
                             {sequence("Open Folder", {o}), sequence("Open Folder", {ctrlO}),
                              key("Open Folder", "t"), sequence("Open Folder", {o}), sequence("Help", {o, f1}),
                              sequence("Odd", {comma, space}), sequence("Cut off", {o, none}),
                              sequence("Too long", {o, o, o, o}), sequence("Four", {o, o, o})}}});
    EXPECT_EQ(rows, (std::vector<Row>{{"File", "Open Folder", "⌘T, O"},
                                      {"File", "Open Folder", "⌘T, ⌘O"},
                                      {"File", "Open Folder", "⌘T"},
                                      {"File", "Help", "⌘T, O, F1"},
                                      {"File", "Odd", "⌘T, ⌘,, Space"},
                                      {"File", "Four", "⌘T, O, O, O"}}));

    std::vector<ShortcutItem> scanned;
    for (const Row& row : rows) scanned.emplace_back(std::get<0>(row), std::get<1>(row), std::get<2>(row));
    const std::vector<ShortcutItem> merged =
        ShortcutMerge::merge({ShortcutItem("Common", "New Tab", "⌘T"), ShortcutItem("Common", "Other", "⌘T, O")}, scanned);
    // "⌘T" names the common row; the sequence that starts with it is a row of its own.
    EXPECT_EQ(tavlin::testing::rows(merged), (std::vector<Row>{{"Common", "Open Folder", "⌘T"},
                                                               {"Common", "Open Folder", "⌘T, O"},
                                                               {"File", "Open Folder", "⌘T, ⌘O"},
                                                               {"File", "Help", "⌘T, O, F1"},
                                                               {"File", "Odd", "⌘T, ⌘,, Space"},
                                                               {"File", "Four", "⌘T, O, O, O"}}));
}

TEST(ShortcutScanner, FailedAndWrongKindReadsGiveTheirDefaults) {
    auto item = [](auto&& configure) {
        auto element = SimElement::make();
        element->setText("AXTitle", "T");
        configure(*element);
        return AXElementRef(element);
    };
    auto menu = SimElement::make();
    menu->setChildren("AXChildren",
                      {item([](SimElement& e) { e.setText("AXEnabled", "no").setText("AXMenuItemCmdChar", "a"); }),
                       item([](SimElement& e) { e.setInteger("AXEnabled", 0).setText("AXMenuItemCmdChar", "b"); }),
                       item([](SimElement& e) { e.setText("AXMenuItemCmdGlyph", "3").setText("AXMenuItemCmdVirtualKey", "x"); }),
                       item([](SimElement& e) { e.set("AXMenuItemCmdGlyph", AXValue{AXNumber{2.9}}); }),
                       item([](SimElement& e) {
                           e.setText("AXMenuItemCmdChar", "c").setText("AXMenuItemCmdModifiers", "1");
                       }),
                       item([](SimElement& e) {
                           e.setResult("AXMenuItemCmdChar", AXReadResult{-1, AXValue{std::string("d")}});
                           e.setInteger("AXMenuItemCmdVirtualKey", 36);
                       }),
                       item([](SimElement& e) { e.setResult("AXMenuItemCmdChar", AXReadResult{0, std::nullopt}).setInteger("AXMenuItemCmdModifiers", 8); }),
                       item([](SimElement& e) {
                           e.set("AXMenuItemCmdChar", AXValue{AXNumber{1}}).set("AXMenuItemCmdGlyph", AXValue{AXNumber{28.7}});
                       })});
    auto top = SimElement::make();
    top->setText("AXTitle", "M").setChildren("AXChildren", {menu});
    auto bar = SimElement::make();
    bar->setChildren("AXChildren", {top});
    auto app = SimElement::make();
    app->set("AXMenuBar", AXValue{AXElementRef(bar)});
    EXPECT_EQ(scan(app), (std::vector<Row>{{"M", "T", "⌘A"}, {"M", "T", "⌘⌨"}, {"M", "T", "⌘C"}, {"M", "T", "⌘↩"}, {"M", "T", "⌘←"}}));
}

TEST(ShortcutScanner, AnUnreadableMenuBarEndsTheScanAtOnce) {
    SimAccessibilityService ax;
    EXPECT_TRUE(ShortcutScanner::shortcuts(ax, 7).empty()); // no such application

    auto failing = SimElement::make();
    auto notAnElement = SimElement::make();
    notAnElement->setText("AXMenuBar", "menu bar");
    auto noValue = SimElement::make();
    noValue->setResult("AXMenuBar", AXReadResult{0, std::nullopt});
    for (const auto& app : {failing, notAnElement, noValue}) {
        ax.addApplication(1, app);
        EXPECT_TRUE(ShortcutScanner::shortcuts(ax, 1).empty());
        EXPECT_EQ(app->readCount(), 1u);
    }
}

TEST(ShortcutScanner, AnElementMetAgainHigherUpIsWalkedFurther) {
    // The same item object is a submenu item under "One" (its own submenu out of reach)
    // and a top-level menu item under "Two", where its submenu is listed.
    auto shared = SimMenuBar::item({"Shared", "s", {}, {}, {}, true, {key("Below Shared", "b")}});
    auto submenu = SimElement::make();
    submenu->setChildren("AXChildren", {shared});
    auto outer = SimMenuBar::item({"Outer", "o", {}, {}, {}, true, {}});
    outer->setChildren("AXChildren", {submenu});
    auto one = SimElement::make();
    one->setChildren("AXChildren", {outer});
    auto two = SimElement::make();
    two->setChildren("AXChildren", {shared});

    auto oneItem = SimElement::make();
    oneItem->setText("AXTitle", "One").setChildren("AXChildren", {one});
    auto twoItem = SimElement::make();
    twoItem->setText("AXTitle", "Two").setChildren("AXChildren", {two});
    auto bar = SimElement::make();
    bar->setChildren("AXChildren", {oneItem, twoItem});
    auto app = SimElement::make();
    app->set("AXMenuBar", AXValue{AXElementRef(bar)});
    EXPECT_EQ(scan(app), (std::vector<Row>{{"One", "Outer", "⌘O"}, {"One", "Shared", "⌘S"}, {"Two", "Below Shared", "⌘B"}}));
}

TEST(ShortcutScanner, SurvivesHostileTrees) {
    // A menu that is its own item, a hundred thousand times over.
    auto loop = SimElement::make();
    loop->setText("AXTitle", "Loop").setText("AXMenuItemCmdChar", "l");
    std::vector<AXElementRef> self(100'000, loop);
    loop->setChildren("AXChildren", self);
    auto top = SimElement::make();
    top->setText("AXTitle", "Top").setChildren("AXChildren", {loop});
    auto bar = SimElement::make();
    bar->setChildren("AXChildren", {top, top});
    auto app = SimElement::make();
    app->set("AXMenuBar", AXValue{AXElementRef(bar)});
    EXPECT_EQ(scan(app), (std::vector<Row>{{"Top", "Loop", "⌘L"}}));
    loop->clear(); // break the cycle

    // Very wide, very long and malformed texts.
    std::vector<SimMenuItem> wide;
    for (int i = 0; i < 100'000; ++i) wide.push_back(key("x", "q"));
    wide.push_back(key(std::string(1 << 20, 'T'), "\xE2\x8C"));
    // Malformed titles are told apart byte for byte, as equal() tells them apart: the
    // repeat of one is dropped, a different one with the same keys is a row of its own.
    wide.push_back(key("\xFF\xFE", "\xC3"));
    wide.push_back(key("\xFF\xFE", "\xC3"));
    wide.push_back(key("\xFE\xFF", "\xC3"));
    const auto result = scan({{"\xF0\x9F", wide}});
    ASSERT_EQ(result.size(), 4u);
    EXPECT_EQ(std::get<2>(result[1]), "⌘\uFFFD");
    EXPECT_EQ(std::get<1>(result[2]), "\xFF\xFE");
    EXPECT_EQ(std::get<1>(result[3]), "\xFE\xFF");
}

} // namespace
