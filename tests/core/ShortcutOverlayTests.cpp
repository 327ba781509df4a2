#include "TavlinUI/CommonShortcuts.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tavlin;

namespace {

ShortcutOverlay overlay(std::vector<ShortcutItem> rows) {
    return ShortcutOverlay("App", nullptr, std::move(rows), true, [] {}, [] {});
}

std::vector<std::string> names(const std::vector<GroupEntry>& groups) {
    std::vector<std::string> out;
    for (const auto& g : groups) out.push_back(g.name);
    return out;
}

TEST(ShortcutOverlay, GroupsByFirstAppearanceGatheringLaterRows) {
    const std::vector<ShortcutItem> rows{{"A", "a1", "⌘1"}, {"B", "b1", "⌘2"}, {"A", "a2", "⌘3"},
                                         {"a", "lower", "⌘4"}, {"Caf\u00E9", "c1", "⌘5"}, {"Cafe\u0301", "c2", "⌘6"},
                                         {"\xFF", "m1", "⌘7"}, {"\xFE", "m2", "⌘8"}, {"\xFF", "m3", "⌘9"}};
    const auto groups = overlay(rows).grouped();
    // Different malformed names are different groups, as they are different texts.
    EXPECT_EQ(names(groups), (std::vector<std::string>{"A", "B", "a", "Caf\u00E9", "\xFF", "\xFE"}));
    EXPECT_EQ(groups[4].items.size(), 2u);
    ASSERT_EQ(groups[0].items.size(), 2u);
    EXPECT_TRUE(groups[0].items[0] == rows[0]);
    EXPECT_TRUE(groups[0].items[1] == rows[2]);
    ASSERT_EQ(groups[3].items.size(), 2u);
    EXPECT_TRUE(groups[3].items[1] == rows[5]);
    EXPECT_TRUE(overlay({}).grouped().empty());
}

TEST(ShortcutOverlay, ColumnCountForWidth) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, int> cases[] = {
        {0, 1}, {609.9, 1}, {-100, 1}, {610, 2}, {684, 2}, {894.9, 2}, {895, 3}, {1084, 3}, {1179.99, 3},
        {1180, 4}, {5000, 4}, {1e300, 4}, {-1e300, 1}, {inf, 4}, {-inf, 1}, {std::nan(""), 1},
        {std::numeric_limits<double>::max(), 4}, {std::numeric_limits<double>::lowest(), 1},
    };
    for (auto [width, columns] : cases) EXPECT_EQ(ShortcutOverlay::columnCount(width), columns) << width;
}

TEST(ShortcutOverlay, DistributeDealsRoundRobin) {
    const std::vector<int> seven{0, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(ShortcutOverlay::distribute(seven, 0, 3), (std::vector<int>{0, 3, 6}));
    EXPECT_EQ(ShortcutOverlay::distribute(seven, 1, 3), (std::vector<int>{1, 4}));
    EXPECT_EQ(ShortcutOverlay::distribute(seven, 2, 3), (std::vector<int>{2, 5}));
    EXPECT_EQ(ShortcutOverlay::distribute(seven, 0, 1), seven);
    const std::vector<int> two{0, 1};
    EXPECT_EQ(ShortcutOverlay::distribute(two, 1, 4), (std::vector<int>{1}));
    EXPECT_TRUE(ShortcutOverlay::distribute(two, 3, 4).empty());
    for (auto [column, count] : {std::pair{0, 0}, {-1, 2}, {2, 2}, {0, -3}, {std::numeric_limits<int>::min(), 1}})
        EXPECT_TRUE(ShortcutOverlay::distribute(seven, column, count).empty());
    EXPECT_EQ(ShortcutOverlay::distribute(seven, 6, std::numeric_limits<int>::max()), std::vector<int>{6});
}

std::vector<std::string> legendNames(std::vector<std::string> keys) {
    std::vector<ShortcutItem> rows;
    for (auto& k : keys) rows.emplace_back("g", "t", k);
    std::vector<std::string> out;
    for (const auto& legend : overlay(rows).visibleKeyLegends()) out.push_back(legend.symbol + " " + legend.name);
    return out;
}

TEST(ShortcutOverlay, LegendsOfTheSymbolsInUseInTableOrder) {
    using V = std::vector<std::string>;
    EXPECT_EQ(legendNames({}), V{});
    EXPECT_EQ(legendNames({"⇧⌘←"}), (V{"⌘ Command", "⇧ Shift", "←↑↓→ 矢印"}));
    EXPECT_EQ(legendNames({"↓", "↑", "→"}), V{"←↑↓→ 矢印"});
    EXPECT_EQ(legendNames({"F5", "⌦", "⇞", "↖"}), V{});
    EXPECT_EQ(legendNames({"⌨", "⎋", "⌫", "↩", "⇥", "⌃⌥"}),
              (V{"⌥ Option", "⌃ Control", "⇥ Tab", "↩ Return", "⌫ Delete", "⎋ Esc", "⌨ 特殊キー"}));
}

} // namespace
