#include "TavlinUI/Overlay/Symbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTransform>

#include <algorithm>

namespace tavlin {

namespace {

// Shapes are laid out in a unit square, built at `unit` times that size and then
// mapped onto the target square. Boolean operations flatten curves to a tolerance in
// path units, so building them large keeps the arcs round at any size.
constexpr double unit = 1000;

QPainterPath scaled(const QPainterPath& path) {
    return QTransform::fromScale(unit, unit).map(path);
}

QPainterPath roundedBox(double x0, double y0, double x1, double y1, double radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)), radius, radius);
    return scaled(path);
}

QPainterPath stroked(const QPainterPath& line, double width) {
    QPainterPathStroker stroker;
    stroker.setWidth(width * unit);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(scaled(line));
}

QPainterPath xmarkCircle() {
    QPainterPath circle;
    circle.addEllipse(QRectF(0, 0, unit, unit));
    QPainterPath cross;
    cross.moveTo(0.33, 0.33);
    cross.lineTo(0.67, 0.67);
    cross.moveTo(0.67, 0.33);
    cross.lineTo(0.33, 0.67);
    return circle.subtracted(stroked(cross, 0.1));
}

QPainterPath raisedHand() {
    QPainterPath hand = roundedBox(0.25, 0.40, 0.81, 0.95, 0.2);
    const double fingers[4][3] = {// left, right, top
                                  {0.255, 0.375, 0.15},
                                  {0.395, 0.515, 0.05},
                                  {0.535, 0.655, 0.09},
                                  {0.675, 0.795, 0.21}};
    for (const auto& f : fingers) hand = hand.united(roundedBox(f[0], f[2], f[1], 0.62, 0.06));
    QPainterPath thumb = roundedBox(-0.06, 0.0, 0.06, 0.40, 0.06);
    QTransform place;
    place.translate(0.31 * unit, 0.80 * unit);
    place.rotate(-38);
    place.translate(0, -0.40 * unit);
    hand = hand.united(place.map(thumb));
    return hand.simplified();
}

QPainterPath keyboard() {
    QPainterPath outline = roundedBox(0.03, 0.2, 0.97, 0.8, 0.1);
    QPainterPath inner = roundedBox(0.09, 0.26, 0.91, 0.74, 0.05);
    QPainterPath path = outline.subtracted(inner);
    const double key = 0.075;
    QPainterPath keys;
    for (int i = 0; i < 7; ++i) keys.addRect(QRectF(0.155 + i * 0.1, 0.33, key, key));
    for (int i = 0; i < 6; ++i) keys.addRect(QRectF(0.205 + i * 0.1, 0.45, key, key));
    keys.addRect(QRectF(0.28, 0.58, 0.44, key));
    path.addPath(scaled(keys));
    return path;
}

QPainterPath arrowUp() {
    QPainterPath arrow;
    arrow.moveTo(0.5, 0.86);
    arrow.lineTo(0.5, 0.16);
    arrow.moveTo(0.2, 0.46);
    arrow.lineTo(0.5, 0.16);
    arrow.lineTo(0.8, 0.46);
    return stroked(arrow, 0.13);
}

// Each shape is built once: its boolean operations cost more than drawing it.
const QPainterPath& shape(Symbols::Symbol symbol) {
    switch (symbol) {
    case Symbols::Symbol::xmarkCircleFill: {
        static const QPainterPath path = xmarkCircle();
        return path;
    }
    case Symbols::Symbol::handRaisedFill: {
        static const QPainterPath path = raisedHand();
        return path;
    }
    case Symbols::Symbol::keyboard: {
        static const QPainterPath path = keyboard();
        return path;
    }
    case Symbols::Symbol::arrowUp: break;
    }
    static const QPainterPath path = arrowUp();
    return path;
}

} // namespace

void Symbols::paint(QPainter& painter, Symbol symbol, const QRectF& rect, const QColor& color) {
    const QPainterPath& path = shape(symbol);
    const double side = std::min(rect.width(), rect.height());
    QTransform toTarget;
    toTarget.translate(rect.center().x() - side / 2, rect.center().y() - side / 2);
    toTarget.scale(side / unit, side / unit);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(toTarget.map(path));
    painter.restore();
}

} // namespace tavlin
