#include "TavlinUI/Overlay/PillButton.h"

#include "TavlinUI/Overlay/OverlayStyle.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tavlin {

PillButton::PillButton(Kind kind, const QString& title, std::optional<Symbols::Symbol> symbol,
                       QWidget* parent)
    : QAbstractButton(parent), kind_(kind), symbol_(symbol) {
    setText(title);
    setAccessibleName(title);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    if (kind_ == Kind::prominent) {
        font_ = OverlayStyle::font(OverlayStyle::TextStyle::body, QFont::Medium);
        padX_ = 18;
        padY_ = 7;
    } else {
        font_ = OverlayStyle::font(OverlayStyle::TextStyle::subheadline);
        padX_ = 9;
        padY_ = 3;
    }
    gap_ = 4;
    setFont(font_);
}

double PillButton::symbolSide() const {
    return symbol_ ? std::round(QFontMetricsF(font_).ascent() * 0.9) : 0.0;
}

QSize PillButton::sizeHint() const {
    const QFontMetricsF metrics(font_, this);
    double width = metrics.horizontalAdvance(text()) + 2 * padX_;
    if (symbol_) width += symbolSide() + gap_;
    const double height = metrics.height() + 2 * padY_;
    return QSize(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
}

void PillButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = kind_ == Kind::prominent ? 8 : 6;
    QPainterPath shape;
    shape.addRoundedRect(box, radius, radius);

    QColor fill;
    QColor textColor;
    if (kind_ == Kind::prominent) {
        fill = OverlayStyle::accent();
        if (isDown()) fill = fill.darker(125);
        else if (underMouse()) fill = fill.lighter(112);
        textColor = QColor(255, 255, 255);
    } else {
        fill = OverlayStyle::white(isDown() ? 0.2 : underMouse() ? 0.15 : 0.1);
        textColor = OverlayStyle::primary();
    }
    painter.fillPath(shape, fill);
    if (kind_ == Kind::bordered) {
        painter.setPen(QPen(OverlayStyle::white(0.12), 1));
        painter.drawPath(shape);
    }
    if (hasFocus()) {
        painter.setPen(QPen(OverlayStyle::accent().lighter(130), 2));
        painter.drawRoundedRect(box.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }

    const QFontMetricsF metrics(font_, this);
    const double textWidth = metrics.horizontalAdvance(text());
    const double side = symbolSide();
    const double contentWidth = textWidth + (symbol_ ? side + gap_ : 0);
    double x = (width() - contentWidth) / 2;
    if (symbol_) {
        Symbols::paint(painter, *symbol_, QRectF(x, (height() - side) / 2, side, side), textColor);
        x += side + gap_;
    }
    painter.setFont(font_);
    painter.setPen(textColor);
    painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}

} // namespace tavlin
