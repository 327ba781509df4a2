#include "TavlinUI/Overlay/MarginImage.h"

#include <QPainter>

#include <cmath>
#include <cstring>

namespace tavlin {

namespace {

// Whether the middle of the picture only repeats its first middle row and column.
bool repeatsInTheMiddle(const QImage& picture, int margin) {
    const int width = picture.width(), height = picture.height();
    const auto* firstMiddleRow = reinterpret_cast<const QRgb*>(picture.constScanLine(margin));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        if (y > margin && y < height - margin &&
            std::memcmp(row, firstMiddleRow, static_cast<std::size_t>(width) * sizeof(QRgb)) != 0)
            return false;
        for (int x = margin + 1; x < width - margin; ++x)
            if (row[x] != row[margin]) return false;
    }
    return true;
}

// A colour whose fill leaves exactly the premultiplied pixel `pixel`, if there is one.
std::optional<QColor> solidColour(QRgb pixel) {
    const QColor colour = QColor::fromRgba(qUnpremultiply(pixel));
    QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
    probe.fill(Qt::transparent);
    QPainter painter(&probe);
    painter.fillRect(QRect(0, 0, 1, 1), colour);
    painter.end();
    if (*reinterpret_cast<const QRgb*>(probe.constScanLine(0)) != pixel) return std::nullopt;
    return colour;
}

} // namespace

MarginImage::MarginImage(const QImage& picture, int margin) : image_(picture), size_(picture.size()) {
    const double scale = picture.devicePixelRatio();
    const bool wholeScale = scale == std::round(scale);
    const int kept = 2 * margin + 1;
    if (margin < 1 || !wholeScale || picture.format() != QImage::Format_ARGB32_Premultiplied ||
        size_.width() <= kept || size_.height() <= kept || !repeatsInTheMiddle(picture, margin))
        return;
    // The margins and the first middle row and column, side by side.
    QImage small(kept, kept, picture.format());
    const int skippedX = size_.width() - kept, skippedY = size_.height() - kept;
    for (int y = 0; y < kept; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(picture.constScanLine(y <= margin ? y : y + skippedY));
        auto* to = reinterpret_cast<QRgb*>(small.scanLine(y));
        std::memcpy(to, from, static_cast<std::size_t>(margin + 1) * sizeof(QRgb));
        std::memcpy(to + margin + 1, from + margin + 1 + skippedX, static_cast<std::size_t>(margin) * sizeof(QRgb));
    }
    small.setDevicePixelRatio(scale);
    image_ = small;
    margin_ = margin;
    middle_ = solidColour(reinterpret_cast<const QRgb*>(image_.constScanLine(margin))[margin]);
}

void MarginImage::draw(QPainter& painter) const {
    if (image_.isNull()) return;
    const double scale = image_.devicePixelRatio() > 0 ? image_.devicePixelRatio() : 1.0;
    if (margin_ == 0) {
        painter.drawImage(QPointF(0, 0), image_);
        return;
    }
    // Three bands each way: the margin, the stretched middle, the other margin; in the
    // picture's pixels, then mapped to the painter's points.
    const int m = margin_;
    const int from[3] = {0, m, m + 1}, fromSize[3] = {m, 1, m};
    const int toX[3] = {0, m, size_.width() - m}, toWidth[3] = {m, size_.width() - 2 * m, m};
    const int toY[3] = {0, m, size_.height() - m}, toHeight[3] = {m, size_.height() - 2 * m, m};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRectF target(toX[column] / scale, toY[row] / scale, toWidth[column] / scale, toHeight[row] / scale);
            if (row == 1 && column == 1 && middle_)
                painter.fillRect(target, *middle_);
            else
                painter.drawImage(target, image_, QRectF(from[column], from[row], fromSize[column], fromSize[row]));
        }
    }
}

} // namespace tavlin
