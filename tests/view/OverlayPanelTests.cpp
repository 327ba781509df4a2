// The overlay window and the panel port the shell drives.
#include "tests/view/ViewTestSupport.h"

#include "TavlinUI/Overlay/OverlayPanel.h"
#include "TavlinUI/Overlay/OverlayView.h"
#include "TavlinUI/Overlay/QtPanel.h"

#include <gtest/gtest.h>

#include <QPointer>

namespace tavlin::test {
namespace {

TEST(OverlayPanel, PortShowsReplacesAndHidesTheOverlay) {
    QtPanel port(platform::Rect{0, 0, 720, 520});
    ActionCounts counts;
    port.setContent(overlay(rowsInGroups({"A"}), true, counts));
    QPointer<QWidget> first = port.window().content();
    ASSERT_TRUE(first);
    EXPECT_NE(qobject_cast<QWidget*>(first.data()), nullptr);

    port.makeKeyAndOrderFront();
    settle();
    EXPECT_TRUE(port.isVisible());
    EXPECT_TRUE(first->isVisible());

    port.setFrame(platform::Rect{10.4, 20.6, 1000, 700}, true);
    settle();
    EXPECT_EQ(port.window().geometry(), QRect(10, 21, 1000, 700));
    EXPECT_EQ(first->size(), QSize(1000, 700));

    // A new overlay at the next show replaces the old view, which goes away.
    port.setContent(overlay({}, false, counts));
    settle();
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(port.window().content(), nullptr);
    EXPECT_NE(port.window().findChild<QWidget*>(QStringLiteral("permissionNotice")), nullptr);
    EXPECT_EQ(port.window().findChild<QWidget*>(QStringLiteral("shortcutGrid")), nullptr);

    port.orderOut();
    EXPECT_FALSE(port.isVisible());
    port.makeKeyAndOrderFront();
    settle();
    EXPECT_TRUE(port.isVisible());
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
        const int r = 18 + size.width() - 36 - 1, b = 18 + size.height() - 36 - 1;
        const Probe probes[] = {
            {{0, 0}, false},          {{17, 100}, false},   {{100, 17}, false},
            {{19, 19}, false},        {{r - 1, 19}, false}, {{19, b - 1}, false},
            {{r - 1, b - 1}, false},  {{18, 60}, true},     {{60, 18}, true},
            {{r, 60}, true},          {{60, b}, true},      {{26, 26}, true},
            {{r - 7, b - 7}, true},   {{r + 1, 60}, false}, {{60, b + 1}, false},
        };
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
