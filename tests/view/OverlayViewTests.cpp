// The overlay's frame as a user sees it: card, header, content choice, texts, actions.
#include "tests/view/ViewTestSupport.h"

#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/OverlaySnapshot.h"
#include "tools/render/SampleOverlays.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>

namespace tavlin::test {
namespace {

TEST(OverlayView, TitleFollowsTheIconOrStartsAtThePadding) {
    ActionCounts counts;
    ShownOverlay bare(overlay({}, true, counts), {720, 520});
    EXPECT_EQ(bare.find("appIcon"), nullptr);
    EXPECT_EQ(rectIn(bare.find("appTitle"), bare.find("card")).x(), 24);

    ShownOverlay withIcon(overlay({}, true, counts, SampleOverlays::icon()), {720, 520});
    const QWidget* card = withIcon.find("card");
    const QRect icon = rectIn(withIcon.find("appIcon"), card);
    EXPECT_EQ(icon.x(), 24);
    EXPECT_EQ(rectIn(withIcon.find("appTitle"), card).x(), icon.right() + 1 + 12);
    // The close button sits at the right padding, however long the name.
    std::string longName;
    for (int i = 0; i < 40; ++i) longName += "とても長いアプリケーション名";
    ShownOverlay longTitle(overlay({}, true, counts, SampleOverlays::icon(), longName), {720, 520});
    card = longTitle.find("card");
    EXPECT_EQ(rectIn(longTitle.find("closeButton"), card).right() + 1, card->width() - 24);
    EXPECT_LE(rectIn(longTitle.find("appTitle"), card).right() + 1 + 12, rectIn(longTitle.find("closeButton"), card).x());
    EXPECT_TRUE(longTitle.find<FittedLabel>("appTitle")->displayedText().endsWith(QChar(0x2026)));
}

TEST(OverlayView, AnIconWhoseBytesDoNotMatchItsSizeLeavesAnEmptySquare) {
    auto broken = std::make_shared<platform::Image>();
    broken->width = 64;
    broken->height = 64;
    broken->rgba.assign(10, 0xFF); // far fewer than 64 × 64 × 4 bytes
    ActionCounts counts;
    ShownOverlay shown(overlay({}, true, counts, broken), {720, 520});
    const QImage image = shown.panel().content()->grab().toImage(); // paints the icon
    EXPECT_FALSE(image.isNull());
    EXPECT_EQ(shown.find("appIcon")->size(), QSize(38, 38));
}

TEST(OverlayView, ContentAreaFollowsPermissionThenList) {
    struct Case {
        const char* name;
        bool granted;
        std::vector<ShortcutItem> rows;
        const char* shown;
        std::vector<const char*> absent;
    };
    const Case cases[] = {
        {"no permission, common rows", false, rowsInGroups({"基本操作 · 常設"}, 3), "permissionNotice",
         {"shortcutGrid", "legendLine", "emptyNotice", "groupCard"}},
        {"no permission, no rows", false, {}, "permissionNotice", {"shortcutGrid", "emptyNotice"}},
        {"permission, no rows", true, {}, "emptyNotice", {"shortcutGrid", "legendLine", "permissionNotice"}},
        {"permission, one row", true, rowsInGroups({"Edit"}), "shortcutGrid", {"emptyNotice", "permissionNotice"}},
    };
    for (const Case& c : cases) {
        ShownOverlay shown(overlay(c.rows, c.granted), {720, 520});
        ASSERT_NE(shown.find(c.shown), nullptr) << c.name;
        EXPECT_TRUE(shown.find(c.shown)->isVisible()) << c.name;
        for (const char* name : c.absent) EXPECT_EQ(shown.find(name), nullptr) << c.name << ": " << name;
    }
}

// Without a catalogue the fixed texts are their own Japanese sources; the message is
// two centred lines, nothing cut.
TEST(OverlayView, FixedTextsShowAsWrittenWithoutTranslation) {
    ShownOverlay shown(overlay({}, false), {720, 520});
    const auto* message = shown.find<QLabel>("permissionMessage");
    EXPECT_EQ(message->text(), QString::fromUtf8("各アプリのメニューを読むため、Tavlinを\n「アクセシビリティ」で許可してください。"));
    EXPECT_TRUE(message->alignment() & Qt::AlignHCenter);
    EXPECT_GE(message->height(), 2 * message->fontMetrics().lineSpacing());
}

TEST(OverlayView, EachControlCallsItsOwnActionOnce) {
    struct Case {
        const char* name;
        bool granted;
        std::function<void(ShownOverlay&)> press;
        ActionCounts expected;
    };
    const auto click = [](const char* name) {
        return [name](ShownOverlay& shown) { shown.find<QAbstractButton>(name)->click(); };
    };
    const auto escapeIn = [](const char* name) {
        return [name](ShownOverlay& shown) {
            // Sent to a widget deep inside the view: the key travels up to the view.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(shown.find(name), &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(shown.find(name), &release);
        };
    };
    const Case cases[] = {
        {"close button", true, click("closeButton"), {0, 1}},
        {"permission button", false, click("permissionButton"), {1, 0}},
        {"escape in the grid", true, escapeIn("scrollArea"), {0, 1}},
        {"escape in the notice", false, escapeIn("permissionNotice"), {0, 1}},
        {"back to top", true, click("backToTopButton"), {0, 0}},
    };
    for (const Case& c : cases) {
        ActionCounts counts;
        ShownOverlay shown(overlay(rowsInGroups({"Edit"}, 2), c.granted, counts), {720, 520});
        c.press(shown);
        settle();
        EXPECT_EQ(counts.openSettings, c.expected.openSettings) << c.name;
        EXPECT_EQ(counts.close, c.expected.close) << c.name;
    }
}

TEST(OverlayView, StaysDarkUnderALightSystemPalette) {
    const QPalette system = QApplication::palette();
    QPalette light;
    light.setColor(QPalette::Window, Qt::white);
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::WindowText, Qt::black);
    light.setColor(QPalette::Text, Qt::black);
    QApplication::setPalette(light);
    const QImage image = OverlaySnapshot::render(SampleOverlays::permission(), {720, 520});
    QApplication::setPalette(system);

    // The card's left padding below the header: nothing but the card's fill.
    const QColor fill = image.pixelColor(30, 300);
    EXPECT_LT(qGray(fill.rgb()), 60);
    EXPECT_GT(fill.alpha(), 200);
    // Outside the card only a faint shadow: the panel itself is transparent.
    EXPECT_LT(image.pixelColor(2, 2).alpha(), 40);
}

} // namespace
} // namespace tavlin::test
