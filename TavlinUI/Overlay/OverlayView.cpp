#include "TavlinUI/Overlay/OverlayView.h"

#include "TavlinUI/Overlay/OverlayCard.h"
#include "TavlinUI/Overlay/OverlayStyle.h"
#include "TavlinUI/Overlay/ShortcutGrid.h"
#include "platform/ShowTiming.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

namespace tavlin {

namespace {
// The shadow: this many one-point layers, cast this far down.
constexpr int shadowSteps = 14;
constexpr int shadowDrop = 4;
} // namespace

OverlayView::OverlayView(const ShortcutOverlay& overlay, KeyText::Notation notation, QWidget* parent)
    : QWidget(parent), overlay_(overlay), notation_(notation) {
    setObjectName(QStringLiteral("overlayView"));
    setPalette(OverlayStyle::darkPalette());
    setFont(OverlayStyle::font(OverlayStyle::TextStyle::body));
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(inset, inset, inset, inset);
    root->setSpacing(0);
    auto* card = new OverlayCard(forwarding(overlay_), notation, this);
    root->addWidget(card);
    card_ = card;
    grid_ = card->grid();
}

ShortcutOverlay OverlayView::forwarding(const ShortcutOverlay& overlay) {
    // Called through a copy: an action may give the view its next overlay while it runs.
    const auto call = [](const std::function<void()>& action) {
        if (const std::function<void()> copy = action) copy();
    };
    return ShortcutOverlay(overlay.appName(), overlay.appIcon(), overlay.shortcuts(), overlay.accessibilityGranted(),
                           [this, call] { call(overlay_.openSettings()); }, [this, call] { call(overlay_.close()); });
}

bool OverlayView::shows(const ShortcutOverlay& overlay, KeyText::Notation notation) const {
    return notation == notation_ && overlay.hasSameContent(overlay_);
}

void OverlayView::reuseFor(const ShortcutOverlay& overlay) {
    overlay_ = overlay;
    if (grid_) grid_->jumpToTop();
}

void OverlayView::takeOverFrom(OverlayView& previous) {
    backdrop_ = std::move(previous.backdrop_);
    backdropSize_ = std::exchange(previous.backdropSize_, QSize());
    backdropCard_ = std::exchange(previous.backdropCard_, QRect());
    backdropScale_ = std::exchange(previous.backdropScale_, 0);
    if (grid_ && previous.grid_) grid_->takeCardsOf(*previous.grid_);
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
        if (const std::function<void()> close = overlay_.close()) close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OverlayView::focusInEvent(QFocusEvent*) {}

void OverlayView::focusOutEvent(QFocusEvent*) {}

QImage OverlayView::backdropImage(double scale) const {
    QImage image(QSize(static_cast<int>(std::ceil(width() * scale)), static_cast<int>(std::ceil(height() * scale))),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    // A soft shadow in the margin around the card, as a floating panel casts one.
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    for (int i = shadowSteps; i >= 1; --i) {
        const double spread = i;
        QPainterPath ring;
        ring.addRoundedRect(card.adjusted(-spread, -spread + shadowDrop, spread, spread + shadowDrop),
                            OverlayCard::cornerRadius + spread, OverlayCard::cornerRadius + spread);
        // Layers pile up towards the card, so the shadow fades outwards.
        painter.fillPath(ring, OverlayStyle::black(0.012 + 0.0015 * (shadowSteps - i)));
    }
    // The card over it, where the card widget lies, cut to the card's rectangle as the
    // widget's own painting would be.
    painter.translate(card_->pos());
    painter.setClipRect(QRect(QPoint(0, 0), card_->size()));
    OverlayCard::paintBackground(painter, QRectF(QPointF(0, 0), QSizeF(card_->size())));
    return image;
}

void OverlayView::paintEvent(QPaintEvent*) {
    if (platform::ShowTiming::enabled()) {
        platform::ShowTiming::mark("painting");
        // Runs once this paint, the children's and the flush to the window are done.
        QMetaObject::invokeMethod(this, [] { platform::ShowTiming::mark("painted"); }, Qt::QueuedConnection);
    }
    QPainter painter(this);
    // The scale of the device actually painted on: the window's, or that of an image the
    // view is rendered to.
    const double scale = painter.deviceTransform().m11() > 0 ? painter.deviceTransform().m11() : 1.0;
    if (backdropSize_ != size() || backdropCard_ != card_->geometry() || backdropScale_ != scale) {
        // Only the margin and the card's corners vary; the rest repeats one row and
        // column (checked as the image is kept), so little of it needs to be kept.
        const double varying = inset + OverlayCard::cornerRadius + shadowSteps + shadowDrop + 2;
        backdrop_ = MarginImage(backdropImage(scale), static_cast<int>(std::ceil(varying * scale)));
        backdropSize_ = size();
        backdropCard_ = card_->geometry();
        backdropScale_ = scale;
    }
    // Drawn over the transparent window at the device's own scale, the image leaves
    // exactly the pixels that drawing its layers here would.
    backdrop_.draw(painter);
}

} // namespace tavlin
