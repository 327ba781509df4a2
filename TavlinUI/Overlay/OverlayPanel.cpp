#include "TavlinUI/Overlay/OverlayPanel.h"

#include "TavlinUI/Overlay/OverlayView.h"
#include "platform/PanelWindowHints.h"
#include "platform/ShowTiming.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QWindow>

#include <QVBoxLayout>

namespace tavlin {

OverlayPanel::OverlayPanel(const QRect& contentRect)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("overlayPanel"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(QStringLiteral("Tavlin"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setGeometry(contentRect);
    keyGrace_.setSingleShot(true);
    connect(&keyGrace_, &QTimer::timeout, this, [this] { keyLostSoon(); });
}

OverlayPanel::~OverlayPanel() = default;

void OverlayPanel::setContent(QWidget* content) {
    if (content_) {
        // Deleted later: the old view may be in the middle of handling an event.
        content_->hide();
        layout()->removeWidget(content_);
        content_->deleteLater();
    }
    content_ = content;
    if (!content_) return;
    content_->setParent(this);
    layout()->addWidget(content_);
    if (isVisible()) {
        content_->show();
        content_->setFocus(Qt::OtherFocusReason);
    }
}

void OverlayPanel::makeKeyAndOrderFront() {
    // A window manager drops the desktop and state of a window it unmaps: they are
    // set again before every mapping.
    // A compositing manager may have started or stopped since the last show.
    if (!isVisible()) setShaped(hints_ && !hints_->prepare(winId()));
    show();
    if (platform::ShowTiming::enabled() && windowHandle()) windowHandle()->installEventFilter(this);
    // Showing posts every child a request to repaint itself later. Taken now, before the
    // window is exposed, they join the first paint instead of causing a second one.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
    if (!testAttribute(Qt::WA_Mapped)) {
        // Qt paints a window only once the window system has exposed it, which waits for
        // the window manager to map it. Taken as mapped now, the window is painted into
        // its backing store while the window manager works, and the exposure then only
        // copies the finished picture to the screen. (Drawn to a window not yet mapped,
        // the copy made now is lost, and a paint at the exposure would do no harm.)
        // tests/view/PanelFirstPaintTests.cpp checks that Qt still works this way.
        setAttribute(Qt::WA_Mapped);
        repaint();
    }
    raise();
    activateWindow();
    if (keyLoss_ && !isActiveWindow()) keyGrace_.start();
    if (content_) content_->setFocus(Qt::ActiveWindowFocusReason);
    if (hints_) hints_->request(winId());
}

void OverlayPanel::setWindowHints(std::unique_ptr<platform::PanelWindowHints> hints) {
    hints_ = std::move(hints);
}

bool OverlayPanel::eventFilter(QObject* watched, QEvent* event) {
    // Exposed: what is left is copying the picture to the screen, if it was painted.
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed())
        platform::ShowTiming::mark("exposed");
    return QWidget::eventFilter(watched, event);
}

void OverlayPanel::setKeyLossHandler(std::function<void()> handler, int graceMs) {
    keyLoss_ = std::move(handler);
    keyGrace_.setInterval(graceMs);
}

bool OverlayPanel::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowActivate:
        keyGrace_.stop();
        break;
    case QEvent::WindowDeactivate:
        // Another window has the keyboard: the application it describes (Alt+Tab back
        // to it), another one, or the shell's own.
        if (keyLoss_ && isVisible()) keyLostSoon();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void OverlayPanel::hideEvent(QHideEvent* event) {
    keyGrace_.stop();
    QWidget::hideEvent(event);
}

void OverlayPanel::keyLostSoon() {
    // Asked again from the event loop: a show that follows at once keeps the panel.
    QTimer::singleShot(0, this, [this] {
        if (!keyLoss_ || !isVisible() || isActiveWindow()) return;
        if (hints_ && QGuiApplication::focusWindow() == windowHandle() && hints_->hasKeyboard(winId())) {
            // Hidden and shown again quickly, the window may get the keyboard back before
            // Qt has taken it as lost: Qt then keeps the window as focused and tells the
            // widgets nothing. The window system has the last word.
            QT_WARNING_PUSH
            QT_WARNING_DISABLE_DEPRECATED
            QApplication::setActiveWindow(this);
            QT_WARNING_POP
            return;
        }
        keyLoss_();
    });
}

void OverlayPanel::setShaped(bool shaped) {
    shaped_ = shaped;
    updateShape();
}

void OverlayPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (shaped_) updateShape();
}

void OverlayPanel::updateShape() {
    if (shaped_) {
        setMask(OverlayView::cardRegion(size()));
    } else if (!mask().isEmpty()) {
        clearMask();
    }
}

} // namespace tavlin
