#include "TavlinUI/CommonShortcuts.h"
#include "TavlinUI/ShortcutMerge.h"

#include "tests/core/Rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

using tavlin::CommonShortcuts;
using tavlin::ShortcutItem;
using tavlin::ShortcutMerge;

namespace {

using tavlin::testing::Row;
using tavlin::testing::rows;

TEST(ShortcutItem, EveryItemGetsItsOwnVersion4Identifier) {
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        const ShortcutItem item("g", "t", "k");
        const auto& bytes = item.id().bytes();
        EXPECT_EQ(bytes[6] >> 4, 4);
        EXPECT_EQ(bytes[8] & 0xC0, 0x80);
        seen.insert(item.id().string());
    }
    EXPECT_EQ(seen.size(), 1000u);
}

const std::string basics = "基本操作 \u00B7 常設";
// The file manager's rows come last, for its identifier exactly; the end-to-end
// content test shows them.
TEST(CommonShortcuts, FileManagerRowsOnlyForItsExactIdentifier) {
    const auto base = rows(CommonShortcuts::items(std::nullopt));
    for (const char* id : {"", "org.gnome.TextEditor", "com.apple.Finder", "com.apple.finder ", " com.apple.finder"})
        EXPECT_EQ(rows(CommonShortcuts::items(id)), base) << id;
    const auto withFinder = rows(CommonShortcuts::items("com.apple.finder"));
    ASSERT_GT(withFinder.size(), base.size());
    EXPECT_TRUE(std::equal(base.begin(), base.end(), withFinder.begin()));
    EXPECT_EQ(std::get<0>(withFinder.back()), "Finder \u00B7 常設");
}

TEST(CommonShortcuts, EveryCallBuildsNewItems) {
    const auto first = CommonShortcuts::items(std::nullopt);
    const auto second = CommonShortcuts::items(std::nullopt);
    ASSERT_EQ(rows(first), rows(second));
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_FALSE(first[i] == second[i]);
}

TEST(ShortcutMerge, RetitlesCommonRowsAndDropsTheApplicationsOwn) {
    const auto common = CommonShortcuts::items(std::nullopt);
    const std::vector<ShortcutItem> scanned{
        {"File", "New Window", "⌘N"},
        {"Edit", "コピー", "⌘C"},      // the table's own wording
        {"Edit", "Cut Text", "⌘X"},    // another wording
        {"Edit", "Undo Typing", "⌘Z"}, // two titles for undo: the first one names it
        {"History", "Undo Close", "⌘Z"},
        {"Edit", "Lower", "⌘c"},       // differs in case only: not the copy row
        {"View", "Zoom", "⌘+"},
        {"View", "Zoom", "⌘+"},        // scanned repeats are not merged away
    };
    const auto merged = ShortcutMerge::merge(common, scanned);

    ASSERT_EQ(merged.size(), common.size() + 4);
    EXPECT_TRUE(merged[0] == common[0]); // kept with its identifier
    EXPECT_EQ(rows({merged[1]}), (std::vector<Row>{{basics, "Cut Text", "⌘X"}}));
    EXPECT_FALSE(merged[1].id() == common[1].id());
    EXPECT_FALSE(merged[1].id() == scanned[2].id());
    EXPECT_EQ(merged[3].title(), "Undo Typing");
    EXPECT_EQ(merged[3].group(), basics);
    for (std::size_t i = 4; i < common.size(); ++i) EXPECT_TRUE(merged[i] == common[i]);

    const std::size_t tail = common.size();
    EXPECT_TRUE(merged[tail] == scanned[0]);
    EXPECT_TRUE(merged[tail + 1] == scanned[5]);
    EXPECT_TRUE(merged[tail + 2] == scanned[6]);
    EXPECT_TRUE(merged[tail + 3] == scanned[7]);
}

TEST(ShortcutMerge, PairsCombinationsByCanonicalEquivalence) {
    const std::vector<ShortcutItem> common{{"g", "Caf\u00E9", "⌘\u00C9"}};
    const std::vector<ShortcutItem> scanned{{"Edit", "Cafe\u0301", "⌘E\u0301"}};
    const auto merged = ShortcutMerge::merge(common, scanned);
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_TRUE(merged[0] == common[0]); // equal title: the common row stays as it is
}

} // namespace
