#include "TavlinUI/Overlay/FittedLabel.h"

#include "TavlinUI/Overlay/DisplayText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tavlin {

FittedLabel::FittedLabel(const QString& text, const QFont& font, const QColor& color,
                         double minimumScale, QWidget* parent)
    : QWidget(parent), text_(text), drawable_(DisplayText::drawable(text)), font_(font), color_(color),
      minimumScale_(std::clamp(minimumScale, 0.1, 1.0)) {
    setFont(font_);
    setAccessibleName(text_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QFont FittedLabel::scaledFont(double scale) const {
    QFont f = font_;
    if (scale < 1.0) f.setPointSizeF(font_.pointSizeF() * scale);
    return f;
}

double FittedLabel::naturalWidth() const {
    return QFontMetricsF(font_, this).horizontalAdvance(drawable_);
}

double FittedLabel::displayedScale() const {
    const double natural = naturalWidth();
    if (natural <= width() || natural <= 0) return 1.0;
    return std::max(minimumScale_, width() / natural);
}

QString FittedLabel::displayedText() const {
    const QFontMetricsF metrics(scaledFont(displayedScale()), this);
    // Half a point of slack: a scaled font's advances are not exactly proportional.
    if (metrics.horizontalAdvance(drawable_) <= width() + 0.5) return drawable_;
    return metrics.elidedText(drawable_, Qt::ElideRight, width());
}

QSize FittedLabel::sizeHint() const {
    const QFontMetricsF metrics(font_, this);
    return QSize(static_cast<int>(std::ceil(metrics.horizontalAdvance(drawable_))),
                 static_cast<int>(std::ceil(metrics.height())));
}

QSize FittedLabel::minimumSizeHint() const {
    const QFontMetricsF metrics(scaledFont(minimumScale_), this);
    const int ellipsis = static_cast<int>(std::ceil(metrics.horizontalAdvance(QChar(0x2026))));
    return QSize(std::min(ellipsis, sizeHint().width()), sizeHint().height());
}

void FittedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(scaledFont(displayedScale()));
    painter.setPen(color_);
    painter.drawText(QRectF(rect()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     DisplayText::isolated(displayedText()));
}

} // namespace tavlin
