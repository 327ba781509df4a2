#include "TavlinUI/CommonShortcuts.h"
#include "TavlinUI/ShortcutMerge.h"

#include "tests/core/Rows.h"

#include <gtest/gtest.h>

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

TEST(ShortcutItem, EqualityAndHashFollowTheIdentifierAndTexts) {
    const ShortcutItem a("Edit", "Undo", "\u2318Z");
    const ShortcutItem b("Edit", "Undo", "\u2318Z");
    EXPECT_FALSE(a == b); // same texts, different identifiers

    const ShortcutItem copy = a;
    EXPECT_TRUE(copy == a);
    EXPECT_EQ(std::hash<ShortcutItem>{}(copy), std::hash<ShortcutItem>{}(a));

    const ShortcutItem empty("", "", "");
    EXPECT_TRUE(empty == ShortcutItem(empty));
}

const std::string basics = "基本操作 \u00B7 常設";
const std::string screenshots = "スクリーンショット \u00B7 常設";
const std::string finder = "Finder \u00B7 常設";

const std::vector<Row> baseTable = {
    {basics, "コピー", "⌘C"},
    {basics, "切り取り", "⌘X"},
    {basics, "ペースト", "⌘V"},
    {basics, "取り消す", "⌘Z"},
    {basics, "やり直す", "⇧⌘Z"},
    {basics, "すべてを選択", "⌘A"},
    {basics, "検索", "⌘F"},
    {basics, "ウインドウを閉じる", "⌘W"},
    {basics, "アプリを切り替える", "⌘⇥"},
    {screenshots, "画面全体を保存", "⇧⌘3"},
    {screenshots, "選択範囲を保存", "⇧⌘4"},
    {screenshots, "撮影\u30FB収録メニュー", "⇧⌘5"},
    {screenshots, "画面全体をクリップボードへ", "⌃⇧⌘3"},
    {screenshots, "選択範囲をクリップボードへ", "⌃⇧⌘4"},
};

TEST(CommonShortcuts, BaseRowsForEveryOtherApplication) {
    for (const std::optional<std::string>& id : std::vector<std::optional<std::string>>{
             std::nullopt, "", "org.gnome.TextEditor", "com.apple.Finder", "com.apple.finder ", " com.apple.finder"}) {
        EXPECT_EQ(rows(CommonShortcuts::items(id)), baseTable) << id.value_or("(none)");
    }
}

TEST(CommonShortcuts, FileManagerRowsComeLast) {
    auto expected = baseTable;
    expected.insert(expected.end(), {{finder, "選択項目のパス名をコピー", "⌥⌘C"},
                                     {finder, "コピーした項目をここへ移動", "⌥⌘V"},
                                     {finder, "一つ上のフォルダを開く", "⌘↑"},
                                     {finder, "新規フォルダ", "⇧⌘N"}});
    EXPECT_EQ(rows(CommonShortcuts::items("com.apple.finder")), expected);
}

TEST(CommonShortcuts, EveryCallBuildsNewItems) {
    const auto first = CommonShortcuts::items(std::nullopt);
    const auto second = CommonShortcuts::items(std::nullopt);
    ASSERT_EQ(rows(first), rows(second));
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_FALSE(first[i] == second[i]);
}

TEST(ShortcutMerge, EmptyInputsPassTheOtherListThroughUnchanged) {
    const auto common = CommonShortcuts::items(std::nullopt);
    const auto merged = ShortcutMerge::merge(common, {});
    ASSERT_EQ(merged.size(), common.size());
    for (std::size_t i = 0; i < common.size(); ++i) EXPECT_TRUE(merged[i] == common[i]);

    const std::vector<ShortcutItem> scanned{{"File", "New", "⌘N"}, {"File", "New", "⌘N"}, {"Edit", "Go", "⌃G"}};
    const auto alone = ShortcutMerge::merge({}, scanned);
    ASSERT_EQ(alone.size(), 3u);
    for (std::size_t i = 0; i < scanned.size(); ++i) EXPECT_TRUE(alone[i] == scanned[i]);
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
