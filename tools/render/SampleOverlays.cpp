#include "tools/render/SampleOverlays.h"

#include "TavlinUI/LinuxCommonShortcuts.h"
#include "TavlinUI/ShortcutMerge.h"

#include <algorithm>
#include <cmath>

namespace tavlin {

namespace {

const char* const appName = "コードエディタ";
const char* const englishAppName = "Code Editor";

// The menus in the editor's Japanese and in its English.
struct Row {
    const char* group;
    const char* title;
    const char* englishGroup;
    const char* englishTitle;
    const char* keys;
};

const Row editorRows[] = {
    {"ファイル", "新規テキストファイル", "File", "New Text File", "⌘N"},
    {"ファイル", "新しいウインドウ", "File", "New Window", "⇧⌘N"},
    {"ファイル", "開く…", "File", "Open…", "⌘O"},
    {"ファイル", "フォルダーを開く…", "File", "Open Folder…", "⌃⌘O"},
    {"ファイル", "最近使用した項目を開く…", "File", "Open Recent…", "⌃R"},
    {"ファイル", "保存", "File", "Save", "⌘S"},
    {"ファイル", "名前を付けて保存…", "File", "Save As…", "⇧⌘S"},
    {"ファイル", "すべて保存", "File", "Save All", "⌥⌘S"},
    {"ファイル", "エディターを閉じる", "File", "Close Editor", "⌘W"},
    {"ファイル", "フォルダーを閉じる", "File", "Close Folder", "⌘K"},
    {"ファイル", "ウインドウを閉じる", "File", "Close Window", "⇧⌘W"},
    {"ファイル", "印刷…", "File", "Print…", "⌘P"},
    {"編集", "元に戻す", "Edit", "Undo", "⌘Z"},
    {"編集", "やり直し", "Edit", "Redo", "⇧⌘Z"},
    {"編集", "切り取り", "Edit", "Cut", "⌘X"},
    {"編集", "コピー", "Edit", "Copy", "⌘C"},
    {"編集", "貼り付け", "Edit", "Paste", "⌘V"},
    {"編集", "検索", "Edit", "Find", "⌘F"},
    {"編集", "置換", "Edit", "Replace", "⌥⌘F"},
    {"編集", "フォルダーを指定して検索", "Edit", "Find in Files", "⇧⌘F"},
    {"編集", "フォルダーを指定して置換", "Edit", "Replace in Files", "⇧⌘H"},
    {"編集", "行コメントの切り替え", "Edit", "Toggle Line Comment", "⌘/"},
    {"編集", "ブロックコメントの切り替え", "Edit", "Toggle Block Comment", "⌥⇧A"},
    {"編集", "Emmet: 省略記法を展開", "Edit", "Emmet: Expand Abbreviation", "⇥"},
    {"選択", "すべて選択", "Selection", "Select All", "⌘A"},
    {"選択", "選択範囲を拡張", "Selection", "Expand Selection", "⌃⇧⌘→"},
    {"選択", "選択範囲を縮小", "Selection", "Shrink Selection", "⌃⇧⌘←"},
    {"選択", "行を上へコピー", "Selection", "Copy Line Up", "⌥⇧↑"},
    {"選択", "行を下へコピー", "Selection", "Copy Line Down", "⌥⇧↓"},
    {"選択", "行を上へ移動", "Selection", "Move Line Up", "⌥↑"},
    {"選択", "行を下へ移動", "Selection", "Move Line Down", "⌥↓"},
    {"選択", "上にカーソルを追加", "Selection", "Add Cursor Above", "⌥⌘↑"},
    {"選択", "下にカーソルを追加", "Selection", "Add Cursor Below", "⌥⌘↓"},
    {"選択", "次の一致項目を選択に追加", "Selection", "Add Selection To Next Find Match", "⌘D"},
    {"選択", "すべての出現箇所を選択", "Selection", "Select All Occurrences", "⇧⌘L"},
    {"表示", "コマンドパレット…", "View", "Command Palette…", "⇧⌘P"},
    {"表示", "エクスプローラー", "View", "Explorer", "⇧⌘E"},
    {"表示", "検索", "View", "Search", "⇧⌘F"},
    {"表示", "ソース管理", "View", "Source Control", "⌃⇧G"},
    {"表示", "実行とデバッグ", "View", "Run and Debug", "⇧⌘D"},
    {"表示", "拡張機能", "View", "Extensions", "⇧⌘X"},
    {"表示", "問題", "View", "Problems", "⇧⌘M"},
    {"表示", "出力", "View", "Output", "⇧⌘U"},
    {"表示", "ターミナル", "View", "Terminal", "⌃`"},
    {"表示", "全画面表示の切り替え", "View", "Toggle Full Screen", "⌃⌘F"},
    {"表示", "拡大", "View", "Zoom In", "⌘="},
    {"表示", "縮小", "View", "Zoom Out", "⌘-"},
    {"表示", "ワードラップの切り替え", "View", "Toggle Word Wrap", "⌥Z"},
    {"移動", "戻る", "Go", "Go Back", "⌃-"},
    {"移動", "進む", "Go", "Go Forward", "⌃⇧-"},
    {"移動", "ファイルに移動…", "Go", "Go to File…", "⌘P"},
    {"移動", "ワークスペース内のシンボルへ移動…", "Go", "Go to Symbol in Workspace…", "⌘T"},
    {"移動", "エディター内のシンボルへ移動…", "Go", "Go to Symbol in Editor…", "⇧⌘O"},
    {"移動", "定義に移動", "Go", "Go to Definition", "F12"},
    {"移動", "参照へ移動", "Go", "Go to References", "⇧F12"},
    {"移動", "行/列に移動…", "Go", "Go to Line/Column…", "⌃G"},
    {"移動", "対応するかっこに移動", "Go", "Go to Bracket", "⇧⌘\\"},
    {"移動", "次の問題", "Go", "Next Problem", "F8"},
    {"移動", "前の問題", "Go", "Previous Problem", "⇧F8"},
    {"移動", "次の変更箇所", "Go", "Next Change", "⌥F3"},
    {"実行", "デバッグの開始", "Run", "Start Debugging", "F5"},
    {"実行", "デバッグなしで実行", "Run", "Run Without Debugging", "⌃F5"},
    {"実行", "デバッグの停止", "Run", "Stop Debugging", "⇧F5"},
    {"実行", "デバッグの再起動", "Run", "Restart Debugging", "⇧⌘F5"},
    {"実行", "ステップ オーバー", "Run", "Step Over", "F10"},
    {"実行", "ステップ インする", "Run", "Step Into", "F11"},
    {"実行", "ステップ アウト", "Run", "Step Out", "⇧F11"},
    {"実行", "ブレークポイントの切り替え", "Run", "Toggle Breakpoint", "F9"},
    {"ターミナル", "新しいターミナル", "Terminal", "New Terminal", "⌃⇧`"},
    {"ターミナル", "ターミナルの分割", "Terminal", "Split Terminal", "⌘\\"},
    {"ターミナル", "ビルド タスクの実行…", "Terminal", "Run Build Task…", "⇧⌘B"},
    {"ターミナル", "ターミナルをクリア", "Terminal", "Clear Terminal", "⌘⌨"},
    {"ウインドウ", "しまう", "Window", "Minimize", "⌘M"},
    {"ウインドウ", "次のエディター", "Window", "Next Editor", "⌥⌘→"},
    {"ウインドウ", "前のエディター", "Window", "Previous Editor", "⌥⌘←"},
    {"ウインドウ", "エディターを左右に分割して新しいグループで開く", "Window", "Split Editor Right into a New Group", "⌘\\"},
    {"ウインドウ", "最初のエディター グループにフォーカス", "Window", "Focus First Editor Group", "⌘1"},
    {"ウインドウ", "2 番目のエディター グループにフォーカス", "Window", "Focus Second Editor Group", "⌘2"},
    {"ヘルプ", "キーボード ショートカットの参照", "Help", "Keyboard Shortcuts Reference", "⌘⌨"},
    {"ヘルプ", "開発者ツールの切り替え", "Help", "Toggle Developer Tools", "⌥⌘I"},
};

std::vector<ShortcutItem> commonRows() {
    return LinuxCommonShortcuts::items(LinuxCommonShortcuts::Desktop::gnome);
}

ShortcutOverlay make(std::vector<ShortcutItem> rows, bool granted, std::function<void()> openSettings,
                     std::function<void()> close, SampleOverlays::Words words) {
    return ShortcutOverlay(words == SampleOverlays::Words::english ? englishAppName : appName,
                           SampleOverlays::icon(), std::move(rows), granted,
                           std::move(openSettings), std::move(close));
}

} // namespace

std::vector<ShortcutItem> SampleOverlays::editorMenu(Words words) {
    std::vector<ShortcutItem> rows;
    for (const Row& row : editorRows) {
        if (words == Words::english)
            rows.emplace_back(row.englishGroup, row.englishTitle, row.keys);
        else
            rows.emplace_back(row.group, row.title, row.keys);
    }
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

ShortcutOverlay SampleOverlays::grid(std::function<void()> openSettings, std::function<void()> close, Words words) {
    return make(ShortcutMerge::merge(commonRows(), editorMenu(words)), true, std::move(openSettings),
                std::move(close), words);
}

ShortcutOverlay SampleOverlays::permission(std::function<void()> openSettings, std::function<void()> close,
                                           Words words) {
    // Without the permission nothing is scanned; the common rows are still passed.
    return make(commonRows(), false, std::move(openSettings), std::move(close), words);
}

ShortcutOverlay SampleOverlays::empty(std::function<void()> openSettings, std::function<void()> close, Words words) {
    return make({}, true, std::move(openSettings), std::move(close), words);
}

} // namespace tavlin
