#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

#include <optional>

class QPainter;

namespace tavlin {

// A picture that varies only near its edges, kept small: when every pixel row between the
// top and bottom margins repeats the first of them, and every pixel of a row between the
// left and right margins repeats the first of those, only the margins and that one row
// and column are kept, and drawing stretches them back, pixel for pixel. Any other
// picture, or one drawn at a fractional scale, is kept whole.
class MarginImage {
public:
    MarginImage() = default;
    // `picture` with its device pixel ratio, `margin` in its pixels.
    MarginImage(const QImage& picture, int margin);

    // Draws the whole picture with its top left corner at the painter's origin, one of its
    // pixels on one pixel of a device at its scale.
    void draw(QPainter& painter) const;
    // The size of what is kept, in bytes.
    qsizetype keptBytes() const { return image_.sizeInBytes(); }

private:
    QImage image_;
    QSize size_;     // the whole picture's, in pixels
    int margin_ = 0; // 0: kept whole
    // The middle's one colour, when a fill with it leaves exactly the middle's pixels:
    // filled rather than stretched, which is quicker.
    std::optional<QColor> middle_;
};

} // namespace tavlin
