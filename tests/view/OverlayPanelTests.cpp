// The overlay window and the panel port the shell drives.
#include "tests/view/ViewTestSupport.h"

#include "TavlinUI/Overlay/OverlayPanel.h"
#include "TavlinUI/Overlay/OverlayView.h"
#include "TavlinUI/Overlay/QtPanel.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

namespace tavlin::test {
namespace {

TEST(OverlayPanel, IsAFramelessTransparentToolWindowThatTakesTheKeyboard) {
    QtPanel port(platform::Rect{100, 80, 720, 520});
    const OverlayPanel& window = port.window();
    EXPECT_EQ(window.geometry(), QRect(100, 80, 720, 520));
    EXPECT_TRUE(window.isWindow());
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::FramelessWindowHint);
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(flags & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_FALSE(port.isVisible());
    EXPECT_TRUE(window.canBecomeKey()); // even while hidden
}

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

TEST(OverlayPanel, EscapeAndCloseButtonHideThePanelThroughTheCloseAction) {
    for (const bool useEscape : {true, false}) {
        QtPanel port(platform::Rect{0, 0, 720, 520});
        int closes = 0;
        port.setContent(ShortcutOverlay("テスト", nullptr, rowsInGroups({"A"}), true, {}, [&] {
            ++closes;
            port.orderOut();
        }));
        port.makeKeyAndOrderFront();
        settle();
        if (useEscape) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(port.window().content(), &press);
        } else {
            port.window().findChild<QAbstractButton*>(QStringLiteral("closeButton"))->click();
        }
        settle();
        EXPECT_EQ(closes, 1) << useEscape;
        EXPECT_FALSE(port.isVisible()) << useEscape;
    }
}

} // namespace
} // namespace tavlin::test
