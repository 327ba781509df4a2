#include "TavlinUI/Overlay/RoundedFill.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tavlin {

void RoundedFill::fill(QPainter& painter, const QSize& size) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), radius_, radius_);
    painter.fillPath(shape, color_);
    painter.restore();
}

void RoundedFill::paint(QPainter& painter, const QSize& size) {
    const double scale = painter.deviceTransform().m11();
    if (scale <= 0 || scale != std::round(scale)) {
        fill(painter, size);
        return;
    }
    if (size != size_ || scale != scale_) {
        QImage image(size * static_cast<int>(scale), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::transparent);
        QPainter onImage(&image);
        fill(onImage, size);
        onImage.end();
        // Only the corners vary; the edges between them repeat.
        image_ = MarginImage(image, static_cast<int>(std::ceil((radius_ + 1) * scale)));
        size_ = size;
        scale_ = scale;
    }
    image_.draw(painter);
}

} // namespace tavlin
