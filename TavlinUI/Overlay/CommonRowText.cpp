#include "TavlinUI/Overlay/CommonRowText.h"

#include <QCoreApplication>

namespace tavlin {
namespace {

// The texts of the Linux table (TavlinUI/LinuxCommonShortcuts.cpp), for the
// translation tools; the view test checks that every one of them has its English.
[[maybe_unused]] const char* const tableTexts[] = {
    QT_TRANSLATE_NOOP("CommonShortcuts", "基本操作 · 常設"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "スクリーンショット · 常設"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "コピー"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "切り取り"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "ペースト"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "取り消す"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "やり直す"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "すべてを選択"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "検索"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "ウインドウを閉じる"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "アプリを切り替える"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "撮影・収録メニュー"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "画面全体を保存"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "ウインドウを保存"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "画面収録メニュー"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "スクリーンショットアプリを開く"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "画面全体を撮影"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "アクティブなウインドウを撮影"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "ウインドウを撮影"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "選択範囲を撮影"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "ファイル · 常設"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "新規フォルダ"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "一つ上のフォルダを開く"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "隠しファイルの表示を切り替える"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "場所を入力"),
    QT_TRANSLATE_NOOP("CommonShortcuts", "名前を変更"),
    // The scanner's name for a menu without a title.
    QT_TRANSLATE_NOOP("ShortcutScanner", "メニュー"),
};

QString translated(const char* context, const std::string& text, bool* found = nullptr) {
    const QString result = QCoreApplication::translate(context, text.c_str());
    if (found) *found = result != QString::fromStdString(text);
    return result;
}

} // namespace

QString CommonRowText::group(const std::string& name) {
    bool found = false;
    const QString common = translated(context, name, &found);
    return found ? common : translated("ShortcutScanner", name);
}

ShortcutItem CommonRowText::shown(const ShortcutItem& row) {
    bool common = false;
    translated(context, row.group(), &common);
    if (!common) return row;
    return ShortcutItem(row.group(), translated(context, row.title()).toStdString(), row.keys());
}

} // namespace tavlin
