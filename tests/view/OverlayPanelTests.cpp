// The overlay window and the panel port the shell drives.
#include "tests/view/ViewTestSupport.h"

#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/OverlayPanel.h"
#include "TavlinUI/Overlay/OverlaySnapshot.h"
#include "TavlinUI/Overlay/OverlayView.h"
#include "TavlinUI/Overlay/QtPanel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>

#include <map>

namespace tavlin::test {
namespace {

TEST(OverlayPanel, TheSameRowsAgainKeepTheViewWhichStartsAtTheTopWithTheNewActions) {
    QtPanel port(platform::Rect{0, 0, 720, 520});
    const std::vector<std::string> groups{"A", "B", "C", "D", "E", "F"};
    ActionCounts first, second, third;
    port.setContent(overlay(rowsInGroups(groups, 8), true, first));
    port.makeKeyAndOrderFront();
    settle();
    QPointer<QWidget> view = port.window().content();
    QScrollBar* bar = view->findChild<QScrollArea*>(QStringLiteral("scrollArea"))->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    port.orderOut();

    // The same texts in new rows (new ids) with new actions, as the next scan gives them.
    port.setContent(overlay(rowsInGroups(groups, 8), true, second));
    port.makeKeyAndOrderFront();
    settle();
    ASSERT_EQ(port.window().content(), view.data());
    EXPECT_EQ(bar->value(), 0);
    QImage kept(view->size(), QImage::Format_ARGB32_Premultiplied);
    kept.fill(Qt::transparent);
    view->render(&kept, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(kept, OverlaySnapshot::render(overlay(rowsInGroups(groups, 8), true), view->size()));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(view, &escape);
    EXPECT_EQ(first.close, 0);
    EXPECT_EQ(second.close, 1);

    // One title in group A longer by a letter: a new view, and the old one goes away.
    // The other groups' cards move over to it; it draws what a view made afresh draws.
    const auto cardsByHeading = [&] {
        std::map<QString, QPointer<QWidget>> cards;
        for (const FittedLabel* heading : port.window().findChildren<FittedLabel*>(QStringLiteral("groupHeading")))
            cards[heading->text()] = heading->parentWidget();
        return cards;
    };
    const auto before = cardsByHeading();
    std::vector<ShortcutItem> rows = rowsInGroups(groups, 8);
    rows[5] = ShortcutItem(rows[5].group(), rows[5].title() + "!", rows[5].keys());
    port.setContent(overlay(rows, true, third));
    port.makeKeyAndOrderFront();
    settle();
    EXPECT_TRUE(view.isNull());
    QWidget* replaced = port.window().content();
    ASSERT_NE(replaced, nullptr);
    const auto after = cardsByHeading();
    ASSERT_EQ(after.size(), groups.size());
    for (const auto& [heading, card] : after) {
        if (heading == QStringLiteral("A")) {
            EXPECT_TRUE(before.at(heading).isNull());
        } else {
            EXPECT_EQ(card, before.at(heading)) << heading.toStdString();
        }
    }
    QImage image(replaced->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    replaced->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(image, OverlaySnapshot::render(overlay(rows, true), replaced->size()));
}

TEST(OverlayPanel, ShapeIsTheCardsRoundedRectangleAndFollowsTheFrame) {
    QtPanel port(platform::Rect{0, 0, 720, 520});
    ActionCounts counts;
    port.setContent(overlay(rowsInGroups({"A"}), true, counts));
    OverlayPanel& window = port.window();
    // Offscreen windows are composited: kept whole and translucent.
    port.makeKeyAndOrderFront();
    settle();
    EXPECT_FALSE(window.isShaped());
    EXPECT_TRUE(window.mask().isEmpty());

    window.setShaped(true);
    struct Probe {
        QPoint point;
        bool inside;
    };
    const auto expectShape = [&](const QSize& size) {
        const QRegion shape = window.mask();
        EXPECT_EQ(shape.boundingRect(), QRect(QPoint(18, 18), size - QSize(36, 36))) << size.width();
        // The rounded corners are cut, the straight edges kept.
        const int r = 18 + size.width() - 36 - 1, b = 18 + size.height() - 36 - 1;
        const Probe probes[] = {{{19, 19}, false}, {{r - 1, b - 1}, false}, {{18, 60}, true},
                                {{60, b}, true},   {{26, 26}, true},        {{r - 7, b - 7}, true}};
        for (const Probe& probe : probes) {
            EXPECT_EQ(shape.contains(probe.point), probe.inside)
                << size.width() << " at " << probe.point.x() << "," << probe.point.y();
        }
    };
    expectShape(QSize(720, 520));
    port.setFrame(platform::Rect{0, 0, 1000, 700}, true);
    settle();
    expectShape(QSize(1000, 700));
    // Resized while hidden: the shape set before the next show has the new size.
    port.orderOut();
    port.setFrame(platform::Rect{0, 0, 800, 600}, false);
    window.setShaped(true);
    expectShape(QSize(800, 600));

    window.setShaped(false);
    EXPECT_TRUE(window.mask().isEmpty());
}

} // namespace
} // namespace tavlin::test
