// What the overlay says: keys in the desktop's words or in symbols, the legends that
// are left to explain, and the interface in the locale's language.
#include "tests/view/ViewTestSupport.h"

#include "TavlinUI/LinuxCommonShortcuts.h"
#include "TavlinUI/Overlay/CommonRowText.h"
#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/InterfaceLanguage.h"
#include "TavlinUI/Overlay/KeyCap.h"
#include "tools/render/SampleOverlays.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QRegularExpression>

namespace tavlin::test {
namespace {

using Notation = KeyText::Notation;

// Every text on show in the overlay: labels, buttons, key caps, tooltips.
QStringList textsOf(ShownOverlay& shown) {
    QStringList texts;
    // Some widgets of the view have no meta-object of their own: cast by C++ type.
    for (QWidget* widget : shown.panel().findChildren<QWidget*>()) {
        if (const auto* label = dynamic_cast<const FittedLabel*>(widget)) texts << label->text();
        if (const auto* label = dynamic_cast<const QLabel*>(widget)) texts << label->text();
        if (const auto* button = dynamic_cast<const QAbstractButton*>(widget)) texts << button->text();
        if (const auto* cap = dynamic_cast<const KeyCap*>(widget)) texts << cap->keys();
        if (!widget->toolTip().isEmpty()) texts << widget->toolTip();
        if (!widget->accessibleName().isEmpty()) texts << widget->accessibleName();
    }
    return texts;
}

const QRegularExpression japanese(QStringLiteral("[\\p{Han}\\p{Hiragana}\\p{Katakana}]"));

TEST(KeyText, TheDesktopNotationNamesEveryKeyQtKnows) {
    const InterfaceLanguage english(QStringLiteral("en"));
    const std::pair<const char*, const char*> cases[] = {
        {"⇧⌘Z", "Ctrl+Shift+Z"},
        {"⌘↑", "Ctrl+Up"},
        {"⌃E", "Super+E"},
        {"⌃⌥⇧⌘F12", "Super+Ctrl+Alt+Shift+F12"}, // Qt's order of modifiers
        {"⌥⇥", "Alt+Tab"},
        {"↩", "Return"},
        {"⌦", "Del"},
        {"↖", "Home"},
        {"⌘Space", "Ctrl+Space"},
        {"⇧Print", "Shift+Print"},
        {"⌘+", "Ctrl++"},
        {"⌘Ä", "Ctrl+Ä"},
        {"⌘😀", "Ctrl+😀"},
        // Keys without a name stay as the model wrote them, behind Qt's modifiers.
        {"⌘⌨", "Ctrl+⌨"},
        {"⌨", "⌨"},
        {"⇧⌘Foo", "Ctrl+Shift+Foo"},
        // Key sequences as the desktop writes them, chord by chord.
        {"⌘T, O", "Ctrl+T, O"},
        {"⌘K, ⌘C", "Ctrl+K, Ctrl+C"},
        {"⌘,, ⌘A", "Ctrl+,, Ctrl+A"},
        {"⇧⌘,, ,", "Ctrl+Shift+,, ,"},
        {"⌘K, ⌨, F1", "Ctrl+K, ⌨, F1"},
        // The last character is the key, even when it is a modifier's symbol.
        {"⌘", "⌘"},
        {"", ""},
    };
    for (const auto& [keys, written] : cases)
        EXPECT_EQ(KeyText::write(keys, Notation::desktop).toStdString(), written) << keys;
    EXPECT_EQ(KeyText::write("⌃⇧⌘Z", Notation::symbols).toStdString(), "⌃⇧⌘Z");
}

TEST(KeyText, SuperIsMetaOnADesktopThatSaysMeta) {
    const InterfaceLanguage kde(QStringLiteral("en"), QStringLiteral("Meta"));
    EXPECT_EQ(KeyText::write("⌃E", Notation::desktop).toStdString(), "Meta+E");
}

// Legends explain symbols with the desktop's names of the keys; in the desktop's
// notation only what is still a symbol is left ("⌨"), and the line is empty when
// nothing is.
TEST(KeyText, TheLegendLineExplainsWhatTheKeyCapsStillShowAsSymbols) {
    const InterfaceLanguage english(QStringLiteral("en"));
    struct Case {
        const char* keys;
        Notation notation;
        std::vector<std::string> legend; // "symbol name"
    };
    const Case cases[] = {
        {"⇧⌘←", Notation::symbols, {"⌘ Ctrl", "⇧ Shift", "←↑↓→ Arrows"}},
        {"⇧⌘←", Notation::desktop, {}},
        {"⌃⌥⌫", Notation::symbols, {"⌥ Alt", "⌃ Super", "⌫ Backspace"}},
        {"⌥⌘⌨", Notation::desktop, {"⌨ Special key"}},
        {"F5", Notation::symbols, {}},
        {"⌘K, ←", Notation::symbols, {"⌘ Ctrl", "←↑↓→ Arrows"}},
        {"⌘K, ⌨", Notation::desktop, {"⌨ Special key"}},
    };
    for (const Case& c : cases) {
        ShownOverlay shown(overlay({ShortcutItem("Edit", "x", c.keys)}), {720, 520}, c.notation);
        std::vector<std::string> legend;
        for (const QWidget* item : shown.findAll("legendItem"))
            legend.push_back(item->findChild<FittedLabel*>(QStringLiteral("legendSymbol"))->text().toStdString() + " " +
                             item->findChild<FittedLabel*>(QStringLiteral("legendName"))->text().toStdString());
        EXPECT_EQ(legend, c.legend) << c.keys;
        // With or without legends the back-to-top button stays at the right.
        const QWidget* bar = shown.find("bottomBar");
        EXPECT_EQ(rectIn(shown.find("backToTopButton"), bar).right() + 1, bar->width() - 20) << c.keys;
    }
}

TEST(InterfaceLanguage, JapaneseForJapaneseLocalesEnglishForEveryOther) {
    EXPECT_TRUE(InterfaceLanguage::spoken().contains(QStringLiteral("en")));
    const std::pair<const char*, const char*> cases[] = {
        {"ja_JP", "ja"}, {"ja", "ja"}, {"en_US", "en"}, {"en_GB", "en"}, {"de_DE", "en"}, {"C", "en"},
    };
    for (const auto& [locale, language] : cases)
        EXPECT_EQ(InterfaceLanguage::choose(QLocale(QString::fromLatin1(locale))).toStdString(), language) << locale;
}

TEST(InterfaceLanguage, EnglishOverlaysSayNothingInJapaneseNorWithTheCommandKey) {
    const InterfaceLanguage english(QStringLiteral("en"));
    ASSERT_TRUE(english.hasCatalogue());
    const auto common = LinuxCommonShortcuts::items(LinuxCommonShortcuts::Desktop::gnome);
    ActionCounts counts;
    for (bool granted : {true, false}) {
        ShownOverlay shown(overlay(common, granted, counts, nullptr, "Editor"), {1000, 700});
        for (const QString& text : textsOf(shown)) {
            EXPECT_FALSE(text.contains(japanese)) << text.toStdString();
            EXPECT_FALSE(text.contains(QChar(0x2318))) << text.toStdString();
        }
    }
    // The name the shell gives an application without one is a text of ours too.
    ShownOverlay unnamed(overlay({}, true, counts, nullptr, "現在のアプリ"), {720, 520});
    EXPECT_EQ(unnamed.find<FittedLabel>("appTitle")->text(), QStringLiteral("Current Application"));
}

TEST(InterfaceLanguage, ApplicationsOwnWordsStayAsTheyAre) {
    const InterfaceLanguage english(QStringLiteral("en"));
    const std::string basics = "基本操作 · 常設";
    // The merge gave the copy row the application's own title; its menus are Japanese.
    ShownOverlay shown(overlay({ShortcutItem(basics, "複製", "⌘C"), ShortcutItem(basics, "コピー", "⌘X"),
                                ShortcutItem("編集", "コピー", "⌘V"), ShortcutItem("メニュー", "検索", "⌘F")}),
                       {720, 520});
    QStringList titles;
    for (const auto* title : shown.findAll<FittedLabel>("rowTitle")) titles << title->text();
    titles.sort();
    QStringList expected{QString::fromUtf8("複製"), QStringLiteral("Copy"), QString::fromUtf8("コピー"),
                         QString::fromUtf8("検索")};
    expected.sort();
    EXPECT_EQ(titles, expected);
    QStringList headings;
    for (const auto* heading : shown.findAll<FittedLabel>("groupHeading")) headings << heading->text();
    headings.sort();
    EXPECT_EQ(headings, (QStringList{QStringLiteral("BASICS · ALWAYS"), QStringLiteral("MENU"), QString::fromUtf8("編集")}));
}

// Under Japanese the fixed texts are their own sources, as the overlay view's tests
// check without any catalogue. Qt's own Japanese names the arrow keys with arrows, and
// the legend then explains them.
TEST(InterfaceLanguage, JapaneseArrowKeysKeepTheirLegend) {
    const InterfaceLanguage japanese(QStringLiteral("ja"));
    ShownOverlay arrows(overlay({ShortcutItem("編集", "上へ", "⌘↑")}), {720, 520});
    EXPECT_EQ(arrows.find<KeyCap>("keyCap")->keys(), QString::fromUtf8("Ctrl+↑"));
    ASSERT_EQ(arrows.findAll("legendItem").size(), 1);
    EXPECT_EQ(arrows.find<FittedLabel>("legendName")->text(), QString::fromUtf8("矢印"));
}

// Each text of the Linux tables must be listed for the translation tools; one that
// is missing would show in Japanese to everybody.
TEST(InterfaceLanguage, EveryTextOfTheLinuxTablesHasItsEnglish) {
    const InterfaceLanguage english(QStringLiteral("en"));
    using Desktop = LinuxCommonShortcuts::Desktop;
    for (Desktop desktop : {Desktop::unknown, Desktop::gnome, Desktop::kde, Desktop::xfce}) {
        for (const ShortcutItem& row : LinuxCommonShortcuts::items(desktop, "org.gnome.Nautilus")) {
            EXPECT_FALSE(CommonRowText::group(row.group()).contains(japanese)) << row.group();
            EXPECT_FALSE(QString::fromStdString(CommonRowText::shown(row).title()).contains(japanese)) << row.title();
        }
    }
}

} // namespace
} // namespace tavlin::test
