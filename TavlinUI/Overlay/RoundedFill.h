#pragma once

#include "TavlinUI/Overlay/MarginImage.h"

#include <QColor>
#include <QSize>

class QPainter;

namespace tavlin {

// A rounded rectangle filled with one colour, antialiased, as a widget's background: drawn
// once per size into an image that every paint then copies. Filling the shape and copying
// its image over the same pixels leave the same result. At a fractional scale the shape is
// filled at each paint, where a copy could fall between device pixels.
class RoundedFill {
public:
    RoundedFill(double radius, const QColor& color) : radius_(radius), color_(color) {}

    // Fills the rounded rectangle of `size` with its top left corner at the painter's origin.
    void paint(QPainter& painter, const QSize& size);

private:
    void fill(QPainter& painter, const QSize& size) const;

    double radius_;
    QColor color_;
    MarginImage image_;
    QSize size_;
    double scale_ = 0;
};

} // namespace tavlin
