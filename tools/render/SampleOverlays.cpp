#include "tools/render/SampleOverlays.h"

#include "TavlinUI/CommonShortcuts.h"
#include "TavlinUI/ShortcutMerge.h"

#include <algorithm>
#include <cmath>

namespace tavlin {

namespace {

const char* const appName = "コードエディタ";
const char* const finder = "com.apple.finder";

struct Row {
    const char* group;
    const char* title;
    const char* keys;
};

const Row editorRows[] = {
    {"ファイル", "新規テキストファイル", "⌘N"},
    {"ファイル", "新しいウインドウ", "⇧⌘N"},
    {"ファイル", "開く…", "⌘O"},
    {"ファイル", "フォルダーを開く…", "⌃⌘O"},
    {"ファイル", "最近使用した項目を開く…", "⌃R"},
    {"ファイル", "保存", "⌘S"},
    {"ファイル", "名前を付けて保存…", "⇧⌘S"},
    {"ファイル", "すべて保存", "⌥⌘S"},
    {"ファイル", "エディターを閉じる", "⌘W"},
    {"ファイル", "フォルダーを閉じる", "⌘K"},
    {"ファイル", "ウインドウを閉じる", "⇧⌘W"},
    {"ファイル", "印刷…", "⌘P"},
    {"編集", "元に戻す", "⌘Z"},
    {"編集", "やり直し", "⇧⌘Z"},
    {"編集", "切り取り", "⌘X"},
    {"編集", "コピー", "⌘C"},
    {"編集", "貼り付け", "⌘V"},
    {"編集", "検索", "⌘F"},
    {"編集", "置換", "⌥⌘F"},
    {"編集", "フォルダーを指定して検索", "⇧⌘F"},
    {"編集", "フォルダーを指定して置換", "⇧⌘H"},
    {"編集", "行コメントの切り替え", "⌘/"},
    {"編集", "ブロックコメントの切り替え", "⌥⇧A"},
    {"編集", "Emmet: 省略記法を展開", "⇥"},
    {"選択", "すべて選択", "⌘A"},
    {"選択", "選択範囲を拡張", "⌃⇧⌘→"},
    {"選択", "選択範囲を縮小", "⌃⇧⌘←"},
    {"選択", "行を上へコピー", "⌥⇧↑"},
    {"選択", "行を下へコピー", "⌥⇧↓"},
    {"選択", "行を上へ移動", "⌥↑"},
    {"選択", "行を下へ移動", "⌥↓"},
    {"選択", "上にカーソルを追加", "⌥⌘↑"},
    {"選択", "下にカーソルを追加", "⌥⌘↓"},
    {"選択", "次の一致項目を選択に追加", "⌘D"},
    {"選択", "すべての出現箇所を選択", "⇧⌘L"},
    {"表示", "コマンドパレット…", "⇧⌘P"},
    {"表示", "エクスプローラー", "⇧⌘E"},
    {"表示", "検索", "⇧⌘F"},
    {"表示", "ソース管理", "⌃⇧G"},
    {"表示", "実行とデバッグ", "⇧⌘D"},
    {"表示", "拡張機能", "⇧⌘X"},
    {"表示", "問題", "⇧⌘M"},
    {"表示", "出力", "⇧⌘U"},
    {"表示", "ターミナル", "⌃`"},
    {"表示", "全画面表示の切り替え", "⌃⌘F"},
    {"表示", "拡大", "⌘="},
    {"表示", "縮小", "⌘-"},
    {"表示", "ワードラップの切り替え", "⌥Z"},
    {"移動", "戻る", "⌃-"},
    {"移動", "進む", "⌃⇧-"},
    {"移動", "ファイルに移動…", "⌘P"},
    {"移動", "ワークスペース内のシンボルへ移動…", "⌘T"},
    {"移動", "エディター内のシンボルへ移動…", "⇧⌘O"},
    {"移動", "定義に移動", "F12"},
    {"移動", "参照へ移動", "⇧F12"},
    {"移動", "行/列に移動…", "⌃G"},
    {"移動", "対応するかっこに移動", "⇧⌘\\"},
    {"移動", "次の問題", "F8"},
    {"移動", "前の問題", "⇧F8"},
    {"移動", "次の変更箇所", "⌥F3"},
    {"実行", "デバッグの開始", "F5"},
    {"実行", "デバッグなしで実行", "⌃F5"},
    {"実行", "デバッグの停止", "⇧F5"},
    {"実行", "デバッグの再起動", "⇧⌘F5"},
    {"実行", "ステップ オーバー", "F10"},
    {"実行", "ステップ インする", "F11"},
    {"実行", "ステップ アウト", "⇧F11"},
    {"実行", "ブレークポイントの切り替え", "F9"},
    {"ターミナル", "新しいターミナル", "⌃⇧`"},
    {"ターミナル", "ターミナルの分割", "⌘\\"},
    {"ターミナル", "ビルド タスクの実行…", "⇧⌘B"},
    {"ターミナル", "ターミナルをクリア", "⌘⌨"},
    {"ウインドウ", "しまう", "⌘M"},
    {"ウインドウ", "次のエディター", "⌥⌘→"},
    {"ウインドウ", "前のエディター", "⌥⌘←"},
    {"ウインドウ", "エディターを左右に分割して新しいグループで開く", "⌘\\"},
    {"ウインドウ", "最初のエディター グループにフォーカス", "⌘1"},
    {"ウインドウ", "2 番目のエディター グループにフォーカス", "⌘2"},
    {"ヘルプ", "キーボード ショートカットの参照", "⌘⌨"},
    {"ヘルプ", "開発者ツールの切り替え", "⌥⌘I"},
};

ShortcutOverlay make(std::vector<ShortcutItem> rows, bool granted, std::function<void()> openSettings,
                     std::function<void()> close) {
    return ShortcutOverlay(appName, SampleOverlays::icon(), std::move(rows), granted,
                           std::move(openSettings), std::move(close));
}

} // namespace

std::vector<ShortcutItem> SampleOverlays::editorMenu() {
    std::vector<ShortcutItem> rows;
    for (const Row& row : editorRows) rows.emplace_back(row.group, row.title, row.keys);
    return rows;
}

std::shared_ptr<const platform::Image> SampleOverlays::icon() {
    // A rounded square with a diagonal blue-to-violet gradient and a light bracket pair.
    constexpr int side = 64;
    auto image = std::make_shared<platform::Image>();
    image->width = side;
    image->height = side;
    image->rgba.resize(side * side * 4);
    const double radius = 14;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const double cx = std::clamp(x + 0.5, radius, side - radius);
            const double cy = std::clamp(y + 0.5, radius, side - radius);
            const double outside = std::hypot(x + 0.5 - cx, y + 0.5 - cy) - radius;
            const double alpha = std::clamp(0.5 - outside, 0.0, 1.0);
            const double t = (x + y) / (2.0 * side);
            double r = 40 + 90 * t, g = 120 - 60 * t, b = 250 - 20 * t;
            // "< >" in light strokes: two chevrons pointing away from each other.
            const double u = x + 0.5 - side / 2.0, v = std::abs(y + 0.5 - side / 2.0);
            const bool left = u > -17 && u < -5 && std::abs(v - (u + 17) * 0.9) < 2.6;
            const bool right = u > 5 && u < 17 && std::abs(v - (17 - u) * 0.9) < 2.6;
            if (left || right) r = g = b = 245;
            std::uint8_t* px = &image->rgba[(y * side + x) * 4];
            px[0] = static_cast<std::uint8_t>(r);
            px[1] = static_cast<std::uint8_t>(g);
            px[2] = static_cast<std::uint8_t>(b);
            px[3] = static_cast<std::uint8_t>(std::lround(alpha * 255));
        }
    }
    return image;
}

ShortcutOverlay SampleOverlays::grid(std::function<void()> openSettings, std::function<void()> close) {
    return make(ShortcutMerge::merge(CommonShortcuts::items(finder), editorMenu()), true,
                std::move(openSettings), std::move(close));
}

ShortcutOverlay SampleOverlays::permission(std::function<void()> openSettings, std::function<void()> close) {
    // Without the permission nothing is scanned; the common rows are still passed.
    return make(CommonShortcuts::items(finder), false, std::move(openSettings), std::move(close));
}

ShortcutOverlay SampleOverlays::empty(std::function<void()> openSettings, std::function<void()> close) {
    return make({}, true, std::move(openSettings), std::move(close));
}

ShortcutOverlay SampleOverlays::awkwardTitles(std::function<void()> openSettings, std::function<void()> close) {
    // Titles as careless or hostile applications write them.
    const std::vector<ShortcutItem> rows{
        {"File", "New\tWindow", "⌘N"},
        {"File", "Open\nRecent", "⇧⌘O"},
        {"File", "Save\x01\x7f As", "⇧⌘S"},
        {"File", "Print \u202Ethis is reversed", "⌘P"},
        {"File", "\u05D4\u05D3\u05E4\u05E1\u05D4 (Hebrew) \u202Babc", "⌥⌘P"},
        {"Edit", "   ", "⌘K"},
        {"Edit", "\u200B\u200D\u2060", "⌘J"},
        {"Edit", "Undo", "⌘Z"},
    };
    return make(rows, true, std::move(openSettings), std::move(close));
}

} // namespace tavlin
