// The shortcut grid: columns for the width, dealing of groups, rows, legends, scrolling.
#include "tests/view/ViewTestSupport.h"

#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/KeyCap.h"
#include "TavlinUI/Overlay/ShortcutGrid.h"
#include "tools/render/SampleOverlays.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QAbstractButton>
#include <QAccessible>
#include <QEventLoop>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

namespace tavlin::test {
namespace {

const std::vector<std::string> sevenGroups = {"G0", "G1", "G2", "G3", "G4", "G5", "G6"};

TEST(ShortcutGrid, ColumnsShareTheGridWidthEqually) {
    struct Case {
        int panelWidth;
        int columns;
        double columnWidth;
    };
    for (const Case& c : {Case{720, 2, 315.0}, Case{1120, 3, (1084.0 - 40 - 28) / 3}}) {
        ShownOverlay shown(overlay(rowsInGroups(sevenGroups)), {c.panelWidth, 600});
        const QWidget* grid = shown.find("shortcutGrid");
        ASSERT_EQ(grid->width(), c.panelWidth - 36);
        int left = 20;
        for (int i = 0; i < 4; ++i) {
            const QWidget* column = shown.find(QStringLiteral("column%1").arg(i).toLatin1().constData());
            if (i >= c.columns) {
                EXPECT_EQ(column, nullptr) << c.panelWidth;
                continue;
            }
            ASSERT_NE(column, nullptr) << c.panelWidth;
            const QRect r = rectIn(column, grid);
            EXPECT_NEAR(r.width(), c.columnWidth, 1.0) << c.panelWidth << " column " << i;
            EXPECT_EQ(r.x(), left) << c.panelWidth << " column " << i;
            left = r.right() + 1 + 14;
        }
        EXPECT_NEAR(left - 14, grid->width() - 20, 1); // the last column ends at the right inset
        // The scroll bar is always there, inside the right inset.
        const QScrollBar* bar = shown.find<QScrollArea>("scrollArea")->verticalScrollBar();
        EXPECT_TRUE(bar->isVisible());
        EXPECT_GE(rectIn(bar, grid).x(), grid->width() - 20);
    }
}

TEST(ShortcutGrid, ResizingAcrossTheBoundaryDealsTheColumnsAnewAtOnce) {
    ShownOverlay shown(overlay(rowsInGroups(sevenGroups)), {930, 600});
    const auto columns = [&] { return shown.find<ShortcutGrid>("shortcutGrid")->columnCount(); };
    EXPECT_EQ(columns(), 2);
    EXPECT_EQ(headingsOf(shown.find("column0")), (std::vector<std::string>{"G0", "G2", "G4", "G6"}));
    const QList<QWidget*> cards = shown.findAll("groupCard");

    shown.resize({931, 600});
    EXPECT_EQ(columns(), 3);
    ASSERT_NE(shown.find("column2"), nullptr);
    EXPECT_TRUE(shown.find("column2")->isVisible());
    EXPECT_EQ(headingsOf(shown.find("column0")), (std::vector<std::string>{"G0", "G3", "G6"}));

    shown.resize({930, 600});
    EXPECT_EQ(columns(), 2);
    EXPECT_EQ(shown.find("column2"), nullptr);
    // The same seven cards, dealt again.
    const QList<QWidget*> dealt = shown.findAll("groupCard");
    EXPECT_TRUE(std::is_permutation(cards.begin(), cards.end(), dealt.begin(), dealt.end()));
}

TEST(ShortcutGrid, LongTitleStaysOnOneLineAndTheKeyCapAtTheRightEdge) {
    const std::string longTitle =
        "ワークスペースのすべてのエディターを左右に分割して新しいグループで開き、元のグループを閉じる";
    ShownOverlay shown(overlay({ShortcutItem("Edit", longTitle, "⌃⌥⇧⌘F12"), ShortcutItem("Edit", "Copy", "⌘C")}),
                       {720, 520});
    const QWidget* card = shown.find("groupCard");
    const auto titles = shown.findAll<FittedLabel>("rowTitle");
    const auto caps = shown.findAll<KeyCap>("keyCap");
    ASSERT_EQ(titles.size(), 2);
    ASSERT_EQ(caps.size(), 2);
    const FittedLabel* cut = titles[0]->text() == QString::fromStdString(longTitle) ? titles[0] : titles[1];
    const KeyCap* longKeys = caps[0]->parentWidget() == cut->parentWidget() ? caps[0] : caps[1];

    EXPECT_EQ(cut->height(), cut->sizeHint().height()); // one line
    EXPECT_TRUE(cut->displayedText().endsWith(QChar(0x2026)));
    EXPECT_LT(cut->width(), cut->sizeHint().width());
    EXPECT_EQ(rectIn(cut, card).x(), 14);
    for (const KeyCap* cap : caps) {
        EXPECT_EQ(rectIn(cap, card).right() + 1, card->width() - 14) << cap->keys().toStdString();
        EXPECT_EQ(cap->size(), cap->sizeHint()); // never squeezed
    }
    // The cut title ends where the flexible space is at its least: the row's spacing on
    // either side of an 8-point space.
    EXPECT_EQ(rectIn(longKeys, card).x() - (rectIn(cut, card).right() + 1), 8 + 8 + 8);
}

TEST(ShortcutGrid, LegendShrinksBeforeItIsCut) {
    // Every symbol of the table in use.
    const auto rows = std::vector<ShortcutItem>{ShortcutItem("A", "a", "⌃⌥⇧⌘⇥"), ShortcutItem("A", "b", "↩⌫⎋←⌨")};
    struct Case {
        int panelWidth;
        bool cut;
    };
    for (const Case& c : {Case{660, false}, Case{400, true}}) {
        ShownOverlay shown(overlay(rows), {c.panelWidth, 520}, KeyText::Notation::symbols);
        bool anyShrunk = false, anyCut = false;
        const auto labels = shown.findAll<FittedLabel>("legendName") + shown.findAll<FittedLabel>("legendSymbol");
        ASSERT_EQ(labels.size(), 20);
        for (const FittedLabel* label : labels) {
            if (!label->isVisible()) { // past the end of the line
                anyCut = true;
                continue;
            }
            EXPECT_GE(label->displayedScale(), 0.72);
            anyShrunk |= label->displayedScale() < 1.0;
            anyCut |= label->displayedText() != label->text();
        }
        EXPECT_TRUE(anyShrunk) << c.panelWidth;
        EXPECT_EQ(anyCut, c.cut) << c.panelWidth;
    }
}

TEST(ShortcutGrid, BackToTopGlidesToTheTopMarker) {
    ShownOverlay shown(SampleOverlays::grid(), {720, 520});
    auto* bar = shown.find<QScrollArea>("scrollArea")->verticalScrollBar();
    auto* button = shown.find<QAbstractButton>("backToTopButton");
    auto* animation = shown.find("shortcutGrid")->findChild<QPropertyAnimation*>();
    ASSERT_NE(animation, nullptr);

    // At the top already: nothing moves.
    button->click();
    EXPECT_EQ(animation->state(), QAbstractAnimation::Stopped);

    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    button->click();
    EXPECT_EQ(animation->state(), QAbstractAnimation::Running);
    QEventLoop loop;
    QObject::connect(animation, &QAbstractAnimation::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit); // a safety net, not a time limit
    if (animation->state() == QAbstractAnimation::Running) loop.exec();
    EXPECT_EQ(bar->value(), 0);
    const QWidget* viewport = shown.find<QScrollArea>("scrollArea")->viewport();
    EXPECT_EQ(rectIn(shown.find("topMarker"), viewport).y(), 0);
}

// A screen reader asks for the scroll area's child count, then for each child in
// separate calls; the overlay may hide in between and its scroll bar with it. Every
// index asked then still gives one of the scroll area's own widgets, or nothing past
// the end, never something read past a shorter list.
TEST(ShortcutGrid, ScrollAreaChildrenHoldStillForAScreenReaderAsTheOverlayHides) {
    ShownOverlay shown(SampleOverlays::grid(), {720, 520});
    auto* scrollArea = shown.find<QScrollArea>("scrollArea");
    QAccessibleInterface* area = QAccessible::queryAccessibleInterface(scrollArea);
    ASSERT_NE(area, nullptr);
    const int countWhileShown = area->childCount();
    const auto childWidgets = [&] {
        std::vector<QObject*> objects;
        for (int i = 0; i < countWhileShown + 2; ++i) {
            QAccessibleInterface* child = area->child(i);
            if (i >= area->childCount()) {
                EXPECT_EQ(child, nullptr) << "index " << i;
                continue;
            }
            if (!child) {
                ADD_FAILURE() << "no child at " << i;
                continue;
            }
            EXPECT_EQ(child->object()->parent(), scrollArea) << "index " << i;
            EXPECT_EQ(area->indexOfChild(child), i);
            EXPECT_EQ(child->parent(), area) << "index " << i;
            objects.push_back(child->object());
        }
        return objects;
    };
    const std::vector<QObject*> shownChildren = childWidgets();
    // The viewport and the scroll bar on screen are among them.
    const auto has = [&](const QObject* o) {
        return std::find(shownChildren.begin(), shownChildren.end(), o) != shownChildren.end();
    };
    EXPECT_TRUE(has(scrollArea->viewport()));
    EXPECT_TRUE(has(scrollArea->verticalScrollBar()->parentWidget()));

    shown.panel().hide();
    ASSERT_FALSE(scrollArea->verticalScrollBar()->isVisible());
    EXPECT_EQ(childWidgets(), shownChildren);
}

} // namespace
} // namespace tavlin::test
