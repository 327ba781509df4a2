#include "TavlinUI/Overlay/KeyCap.h"

#include "TavlinUI/Overlay/OverlayStyle.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace tavlin {

namespace {
constexpr double insetX = 7, insetY = 3, radius = 6;
} // namespace

KeyCap::KeyCap(const QString& keys, QWidget* parent)
    : QWidget(parent), keys_(keys), cap_(radius, OverlayStyle::white(0.1)) {
    // The body's size at medium weight; no rounded design is installed with the fonts we
    // rely on.
    setFont(OverlayStyle::font(OverlayStyle::TextStyle::body, QFont::Medium));
    setAccessibleName(keys_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize KeyCap::sizeHint() const {
    const QFontMetricsF metrics(font(), this);
    return QSize(static_cast<int>(std::ceil(metrics.horizontalAdvance(keys_) + 2 * insetX)),
                 static_cast<int>(std::ceil(metrics.height() + 2 * insetY)));
}

void KeyCap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    cap_.paint(painter, size());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(OverlayStyle::primary());
    painter.drawText(QRectF(rect()).adjusted(insetX, insetY, -insetX, -insetY),
                     Qt::AlignCenter | Qt::TextSingleLine, keys_);
}

} // namespace tavlin
