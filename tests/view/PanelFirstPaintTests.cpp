// The panel's first paint on a real X server with a window manager. OverlayPanel sets
// Qt::WA_Mapped itself, an attribute Qt keeps, so that a show paints the panel while the
// window manager maps the window, and the exposure only copies the picture to the
// screen. That relies on what Qt does with the attribute, checked here so that a Qt
// release that changes it fails loudly:
//  - the attribute is what holds back a paint of a window that is shown but not yet
//    exposed (set, repaint() paints at once; unset, it paints nothing);
//  - the exposure of a window painted that way paints nothing again, and the picture
//    painted before it is the one on the screen;
//  - Qt sets the attribute itself at the exposure and takes it away at a hide, so the
//    panel's state matches Qt's after the mapping and the next show does the same.
// Run by scripts/with-desktop.
#include "TavlinUI/Overlay/OverlayPanel.h"
#include "platform/linux/common/X11Display.h"
#include "platform/linux/common/XcbReply.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <cstdio>
#include <vector>

namespace {

// Tells whether the window system's exposure of a window is being handled right now.
class ExposureWatchingApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (event->type() != QEvent::Expose) return QApplication::notify(receiver, event);
        ++exposing_;
        const bool handled = QApplication::notify(receiver, event);
        --exposing_;
        return handled;
    }
    static bool exposing() { return exposing_ > 0; }

private:
    static inline int exposing_ = 0;
};

const QColor fill(46, 139, 87);

// An opaque content that notes each paint: whether its window was exposed by then, and
// whether the paint came from handling an exposure.
class NotedContent : public QWidget {
public:
    struct Paint {
        bool exposed;
        bool duringExposure;
    };
    std::vector<Paint> paints;

protected:
    void paintEvent(QPaintEvent*) override {
        const QWindow* window = this->window()->windowHandle();
        paints.push_back({window && window->isExposed(), ExposureWatchingApplication::exposing()});
        QPainter(this).fillRect(rect(), fill);
    }
};

// Runs the event loop until `done` holds, for at most `ms` milliseconds.
template <class Done>
bool spinUntil(Done done, int ms = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Whether a window manager has taken the screen: it names its check window on the root
// window then.
bool windowManagerNamed() {
    using tavlin::platform::X11Display;
    xcb_connection_t* connection = X11Display::connection();
    const xcb_atom_t check = X11Display::atom(connection, "_NET_SUPPORTING_WM_CHECK");
    const tavlin::platform::XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, X11Display::rootWindow(), check, XCB_ATOM_WINDOW, 0, 1), nullptr));
    return reply && xcb_get_property_value_length(reply.get()) > 0;
}

// Waits until the window manager maps the windows it is asked to. One mapped while it
// starts may never be, so a probe is shown again until one is exposed.
bool waitForTheWindowManager() {
    if (!spinUntil(windowManagerNamed)) return false;
    QWidget probe;
    probe.setGeometry(0, 0, 10, 10);
    for (int attempt = 0; attempt < 20; ++attempt) {
        probe.show();
        if (spinUntil([&] { return probe.windowHandle()->isExposed(); }, 500)) return true;
        probe.hide();
    }
    return false;
}

// Whether the screen shows the content's colour in the middle of `area`.
bool screenShowsFill(const QRect& area) {
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0, area.center().x(), area.center().y(), 1, 1)
                            .toImage();
    return !shot.isNull() && shot.pixelColor(0, 0).rgb() == fill.rgb();
}

} // namespace

TEST(QtWidgets, OnlyTheMappedAttributeHoldsBackThePaintOfAShownWindowNotYetExposed) {
    QWidget window;
    auto* content = new NotedContent;
    content->setParent(&window);
    window.setGeometry(40, 40, 200, 120);
    content->setGeometry(window.rect());
    window.show();
    ASSERT_FALSE(window.windowHandle()->isExposed());
    window.repaint();
    EXPECT_TRUE(content->paints.empty()) << "Qt now paints a window before the window system exposes it: "
                                            "OverlayPanel's setting of Qt::WA_Mapped may no longer be needed";
    window.setAttribute(Qt::WA_Mapped);
    window.repaint();
    ASSERT_EQ(content->paints.size(), 1u) << "Qt no longer paints a window taken as mapped at once";
    EXPECT_FALSE(content->paints[0].exposed);
    ASSERT_TRUE(spinUntil([&] { return window.windowHandle()->isExposed(); }));
}

TEST(OverlayPanel, PaintsBeforeTheExposureWhichOnlyShowsThePicture) {
    const QRect frame(200, 100, 400, 300);
    tavlin::OverlayPanel panel(frame);
    auto* content = new NotedContent;
    panel.setContent(content);
    for (const char* show : {"first show", "second show"}) {
        SCOPED_TRACE(show);
        content->paints.clear();
        panel.makeKeyAndOrderFront();
        // Painted into the backing store, the window not yet exposed.
        ASSERT_FALSE(panel.windowHandle()->isExposed());
        ASSERT_EQ(content->paints.size(), 1u) << "the panel was not painted before the window manager mapped it";
        EXPECT_FALSE(content->paints[0].exposed);

        ASSERT_TRUE(spinUntil([&] { return panel.windowHandle()->isExposed(); })) << "never exposed";
        // The screen shows the panel, and the exposure painted nothing: it copied the
        // picture painted before.
        ASSERT_TRUE(spinUntil([&] { return screenShowsFill(frame); })) << "the screen does not show the panel";
        for (const NotedContent::Paint& paint : content->paints)
            EXPECT_FALSE(paint.duringExposure) << "the exposure painted the panel again";
        // Qt, having mapped the window itself, keeps the attribute set.
        EXPECT_TRUE(panel.testAttribute(Qt::WA_Mapped));
        EXPECT_TRUE(panel.isVisible());

        panel.hide();
        // A hidden panel is taken as unmapped again, so the next show paints at once too.
        EXPECT_FALSE(panel.testAttribute(Qt::WA_Mapped));
        ASSERT_TRUE(spinUntil([&] { return !panel.windowHandle()->isExposed(); }));
    }
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    qputenv("QT_QPA_PLATFORM", "xcb");
    ExposureWatchingApplication app(argc, argv);
    if (!waitForTheWindowManager()) {
        std::fprintf(stderr, "no window manager\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
