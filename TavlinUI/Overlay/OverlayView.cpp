#include "TavlinUI/Overlay/OverlayView.h"

#include "TavlinUI/Overlay/OverlayCard.h"
#include "TavlinUI/Overlay/OverlayStyle.h"
#include "platform/linux/ShowTiming.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace tavlin {

OverlayView::OverlayView(const ShortcutOverlay& overlay, KeyText::Notation notation, QWidget* parent)
    : QWidget(parent), overlay_(overlay) {
    setObjectName(QStringLiteral("overlayView"));
    setPalette(OverlayStyle::darkPalette());
    setFont(OverlayStyle::font(OverlayStyle::TextStyle::body));
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(inset, inset, inset, inset);
    root->setSpacing(0);
    root->addWidget(new OverlayCard(overlay_, notation, this));
}

QRegion OverlayView::cardRegion(const QSize& size) {
    QPainterPath card;
    card.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)).adjusted(inset, inset, -inset, -inset),
                        OverlayCard::cornerRadius, OverlayCard::cornerRadius);
    return QRegion(card.toFillPolygon().toPolygon(), Qt::WindingFill);
}

void OverlayView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        if (overlay_.close()) overlay_.close()();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OverlayView::paintEvent(QPaintEvent*) {
    if (platform::ShowTiming::enabled()) {
        platform::ShowTiming::mark("painting");
        // Runs once this paint, the children's and the flush to the window are done.
        QMetaObject::invokeMethod(this, [] { platform::ShowTiming::mark("painted"); }, Qt::QueuedConnection);
    }
    // A soft shadow in the margin around the card, as a floating panel casts one.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    constexpr int steps = 14;
    for (int i = steps; i >= 1; --i) {
        const double spread = i;
        QPainterPath ring;
        ring.addRoundedRect(card.adjusted(-spread, -spread + 4, spread, spread + 4),
                            OverlayCard::cornerRadius + spread, OverlayCard::cornerRadius + spread);
        // Layers pile up towards the card, so the shadow fades outwards.
        painter.fillPath(ring, OverlayStyle::black(0.012 + 0.0015 * (steps - i)));
    }
}

} // namespace tavlin
