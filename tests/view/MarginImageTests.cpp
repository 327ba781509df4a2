// Pictures kept by their margins and drawn back.
#include "TavlinUI/Overlay/MarginImage.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tavlin::test {
namespace {

QImage blank(QSize size, double scale) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    return image;
}

QImage drawn(const MarginImage& kept, QSize size, double scale) {
    QImage image = blank(size, scale);
    QPainter painter(&image);
    kept.draw(painter);
    return image;
}

TEST(MarginImage, DrawsThePictureBackAndKeepsOnlyTheMarginsOfOneThatRepeats) {
    struct Case {
        double scale;
        bool small; // kept by its margins
    };
    for (const Case& c : {Case{1, true}, Case{2, true}, Case{1.5, false}}) {
        // A soft-edged rounded card on a transparent ground, as the overlay's backdrop is.
        const QSize size(static_cast<int>(std::ceil(120 * c.scale)), static_cast<int>(std::ceil(90 * c.scale)));
        QImage picture = blank(size, c.scale);
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            QPainterPath card;
            card.addRoundedRect(QRectF(4, 6, 110, 80), 12, 12);
            painter.fillPath(card, QColor(10, 20, 30, 200));
        }
        const int margin = static_cast<int>(std::ceil(20 * c.scale));
        const MarginImage kept(picture, margin);
        EXPECT_EQ(drawn(kept, size, c.scale), picture) << c.scale;
        EXPECT_EQ(kept.keptBytes() < picture.sizeInBytes() / 4, c.small) << c.scale;

        // One pixel out of line in the middle: kept whole, and still drawn as it is.
        QImage odd = picture;
        odd.setPixel(size.width() / 2, size.height() / 2, qRgba(255, 0, 0, 255));
        const MarginImage whole(odd, margin);
        EXPECT_EQ(drawn(whole, size, c.scale), odd) << c.scale;
        EXPECT_EQ(whole.keptBytes(), odd.sizeInBytes()) << c.scale;
    }
}

} // namespace
} // namespace tavlin::test
