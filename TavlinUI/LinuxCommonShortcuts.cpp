#include "TavlinUI/LinuxCommonShortcuts.h"

#include "TavlinUI/CommonRow.h"
#include "TavlinUI/Text.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>

namespace tavlin {
namespace {

using Row = CommonRow;
constexpr std::string_view basics = CommonRow::basics;
constexpr std::string_view screenshots = CommonRow::screenshots;
constexpr std::string_view gnomeFiles = "ファイル \u00B7 常設";

// GNOME's HIG list of standard shortcuts and KDE's KStandardShortcut defaults agree on
// these; Xfce's applications follow GTK's. The switcher is Alt+Tab in GNOME's
// org.gnome.desktop.wm.keybindings, KWin and xfwm4 alike.
constexpr std::array<Row, 9> editingRows{{
    {basics, "コピー", "\u2318C"},
    {basics, "切り取り", "\u2318X"},
    {basics, "ペースト", "\u2318V"},
    {basics, "取り消す", "\u2318Z"},
    {basics, "やり直す", "\u21E7\u2318Z"},
    {basics, "すべてを選択", "\u2318A"},
    {basics, "検索", "\u2318F"},
    {basics, "ウインドウを閉じる", "\u2318W"},
    {basics, "アプリを切り替える", "\u2325\u21E5"},
}};

// gnome-shell's org.gnome.shell.keybindings defaults.
constexpr std::array<Row, 4> gnomeScreenshots{{
    {screenshots, "撮影\u30FB収録メニュー", "Print"},
    {screenshots, "画面全体を保存", "\u21E7Print"},
    {screenshots, "ウインドウを保存", "\u2325Print"},
    {screenshots, "画面収録メニュー", "\u2325\u21E7\u2318R"},
}};

// Spectacle's global shortcuts (its kglobalaccel desktop file); Meta is the Super key.
constexpr std::array<Row, 4> kdeScreenshots{{
    {screenshots, "スクリーンショットアプリを開く", "Print"},
    {screenshots, "画面全体を撮影", "\u21E7Print"},
    {screenshots, "アクティブなウインドウを撮影", "\u2303Print"},
    {screenshots, "選択範囲を撮影", "\u2303\u21E7Print"},
}};

// xfce4-keyboard-shortcuts.xml, the defaults libxfce4ui installs for xfce4-screenshooter.
constexpr std::array<Row, 3> xfceScreenshots{{
    {screenshots, "スクリーンショットアプリを開く", "Print"},
    {screenshots, "ウインドウを撮影", "\u2325Print"},
    {screenshots, "選択範囲を撮影", "\u21E7Print"},
}};

// GNOME Files' own shortcuts window (nautilus 43, its help overlay).
constexpr std::array<Row, 5> gnomeFilesRows{{
    {gnomeFiles, "新規フォルダ", "\u21E7\u2318N"},
    {gnomeFiles, "一つ上のフォルダを開く", "\u2325\u2191"},
    {gnomeFiles, "隠しファイルの表示を切り替える", "\u2318H"},
    {gnomeFiles, "場所を入力", "\u2318L"},
    {gnomeFiles, "名前を変更", "F2"},
}};

std::span<const Row> screenshotRows(LinuxCommonShortcuts::Desktop desktop) {
    switch (desktop) {
    case LinuxCommonShortcuts::Desktop::gnome: return gnomeScreenshots;
    case LinuxCommonShortcuts::Desktop::kde: return kdeScreenshots;
    case LinuxCommonShortcuts::Desktop::xfce: return xfceScreenshots;
    case LinuxCommonShortcuts::Desktop::unknown: break;
    }
    return {};
}

bool sameAsciiCaseless(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

} // namespace

LinuxCommonShortcuts::Desktop LinuxCommonShortcuts::desktop(std::string_view xdgCurrentDesktop) {
    // GNOME Flashback lists GNOME after itself, but takes screenshots its own way.
    constexpr std::array<std::pair<std::string_view, Desktop>, 4> names{{
        {"GNOME", Desktop::gnome}, {"KDE", Desktop::kde}, {"XFCE", Desktop::xfce}, {"GNOME-Flashback", Desktop::unknown}}};
    while (true) {
        const std::size_t colon = xdgCurrentDesktop.find(':');
        const std::string_view entry = xdgCurrentDesktop.substr(0, colon);
        for (const auto& [name, desktop] : names)
            if (sameAsciiCaseless(entry, name)) return desktop;
        if (colon == std::string_view::npos) return Desktop::unknown;
        xdgCurrentDesktop.remove_prefix(colon + 1);
    }
}

std::vector<ShortcutItem> LinuxCommonShortcuts::items(Desktop desktop, const std::optional<std::string>& bundleIdentifier) {
    const bool files = bundleIdentifier && Text::equal(*bundleIdentifier, gnomeFilesIdentifier);
    std::vector<ShortcutItem> items;
    items.reserve(editingRows.size() + 4 + (files ? gnomeFilesRows.size() : 0));
    CommonRow::append(items, editingRows);
    CommonRow::append(items, screenshotRows(desktop));
    if (files) CommonRow::append(items, gnomeFilesRows);
    return items;
}

} // namespace tavlin
