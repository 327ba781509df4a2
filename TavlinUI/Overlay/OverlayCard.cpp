#include "TavlinUI/Overlay/OverlayCard.h"

#include "TavlinUI/Overlay/EmptyNotice.h"
#include "TavlinUI/Overlay/OverlayFooter.h"
#include "TavlinUI/Overlay/OverlayHeader.h"
#include "TavlinUI/Overlay/OverlayStyle.h"
#include "TavlinUI/Overlay/PermissionNotice.h"
#include "TavlinUI/Overlay/Separator.h"
#include "TavlinUI/Overlay/ShortcutGrid.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace tavlin {

OverlayCard::OverlayCard(const ShortcutOverlay& overlay, KeyText::Notation notation, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("card"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* separator = new Separator(0.35, this);
    separator->setObjectName(QStringLiteral("headerSeparator"));
    column->addWidget(new OverlayHeader(overlay, this));
    column->addWidget(separator);
    column->addWidget(makeContent(overlay, notation), 1);
    column->addWidget(new OverlayFooter(this));
}

QWidget* OverlayCard::makeContent(const ShortcutOverlay& overlay, KeyText::Notation notation) {
    // Without the permission the list is never shown, not even the common rows.
    if (!overlay.accessibilityGranted()) return new PermissionNotice(overlay.openSettings(), this);
    if (overlay.shortcuts().empty()) return new EmptyNotice(this);
    grid_ = new ShortcutGrid(overlay, notation, this);
    return grid_;
}

void OverlayCard::paintBackground(QPainter& painter, const QRectF& rect) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(rect, cornerRadius, cornerRadius);
    painter.fillPath(card, OverlayStyle::cardFill());
    // A one-point outline centred on the card's edge; its outer half falls outside
    // the card, so the inner half is drawn on a path inset by half a point.
    QPainterPath outline;
    outline.addRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5, cornerRadius - 0.5);
    painter.setPen(QPen(OverlayStyle::white(0.15), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
    painter.restore();
}

} // namespace tavlin
