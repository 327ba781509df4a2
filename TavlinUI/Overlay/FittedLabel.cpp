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
    const int dpi = logicalDpiY();
    if (natural_.dpi != dpi) natural_ = {dpi, QFontMetricsF(font_, this).horizontalAdvance(drawable_)};
    return natural_.width;
}

const FittedLabel::Fit& FittedLabel::fit() const {
    const double natural = naturalWidth();
    if (fit_.width == width() && fit_.natural == natural) return fit_;
    fit_.width = width();
    fit_.natural = natural;
    fit_.scale = natural <= width() || natural <= 0 ? 1.0 : std::max(minimumScale_, width() / natural);
    fit_.font = scaledFont(fit_.scale);
    const QFontMetricsF metrics(fit_.font, this);
    const double drawn = fit_.scale == 1.0 ? natural : metrics.horizontalAdvance(drawable_);
    // Half a point of slack: a scaled font's advances are not exactly proportional.
    fit_.text = drawn <= width() + 0.5 ? drawable_ : metrics.elidedText(drawable_, Qt::ElideRight, width());
    return fit_;
}

double FittedLabel::displayedScale() const { return fit().scale; }

QString FittedLabel::displayedText() const { return fit().text; }

QSize FittedLabel::sizeHint() const {
    return QSize(static_cast<int>(std::ceil(naturalWidth())),
                 static_cast<int>(std::ceil(QFontMetricsF(font_, this).height())));
}

QSize FittedLabel::minimumSizeHint() const {
    const QFontMetricsF metrics(scaledFont(minimumScale_), this);
    const int ellipsis = static_cast<int>(std::ceil(metrics.horizontalAdvance(QChar(0x2026))));
    return QSize(std::min(ellipsis, sizeHint().width()), sizeHint().height());
}

void FittedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const Fit& fitted = fit();
    painter.setFont(fitted.font);
    painter.setPen(color_);
    painter.drawText(QRectF(rect()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     DisplayText::isolated(fitted.text));
}

} // namespace tavlin
