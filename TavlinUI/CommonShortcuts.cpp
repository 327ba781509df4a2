#include "TavlinUI/CommonShortcuts.h"

#include "TavlinUI/CommonRow.h"
#include "TavlinUI/Text.h"

#include <array>
#include <string_view>

namespace tavlin {
namespace {

using Row = CommonRow;
constexpr std::string_view basics = CommonRow::basics;
constexpr std::string_view screenshots = CommonRow::screenshots;
constexpr std::string_view finder = "Finder \u00B7 常設";
constexpr std::string_view fileManagerIdentifier = "com.apple.finder";

constexpr std::array<Row, 14> baseRows{{
    {basics, "コピー", "\u2318C"},
    {basics, "切り取り", "\u2318X"},
    {basics, "ペースト", "\u2318V"},
    {basics, "取り消す", "\u2318Z"},
    {basics, "やり直す", "\u21E7\u2318Z"},
    {basics, "すべてを選択", "\u2318A"},
    {basics, "検索", "\u2318F"},
    {basics, "ウインドウを閉じる", "\u2318W"},
    {basics, "アプリを切り替える", "\u2318\u21E5"},
    {screenshots, "画面全体を保存", "\u21E7\u23183"},
    {screenshots, "選択範囲を保存", "\u21E7\u23184"},
    {screenshots, "撮影\u30FB収録メニュー", "\u21E7\u23185"},
    {screenshots, "画面全体をクリップボードへ", "\u2303\u21E7\u23183"},
    {screenshots, "選択範囲をクリップボードへ", "\u2303\u21E7\u23184"},
}};

constexpr std::array<Row, 4> fileManagerRows{{
    {finder, "選択項目のパス名をコピー", "\u2325\u2318C"},
    {finder, "コピーした項目をここへ移動", "\u2325\u2318V"},
    {finder, "一つ上のフォルダを開く", "\u2318\u2191"},
    {finder, "新規フォルダ", "\u21E7\u2318N"},
}};

} // namespace

std::vector<ShortcutItem> CommonShortcuts::items(const std::optional<std::string>& bundleIdentifier) {
    std::vector<ShortcutItem> items;
    items.reserve(baseRows.size() + fileManagerRows.size());
    CommonRow::append(items, baseRows);
    if (bundleIdentifier && Text::equal(*bundleIdentifier, fileManagerIdentifier)) CommonRow::append(items, fileManagerRows);
    return items;
}

} // namespace tavlin
