#include "TavlinUI/Overlay/Separator.h"

#include "TavlinUI/Overlay/OverlayStyle.h"

#include <QPainter>

namespace tavlin {

namespace {
// The divider line's own colour before the opacity is applied.
constexpr double lineAlpha = 0.5;
} // namespace

Separator::Separator(double opacity, QWidget* parent) : QWidget(parent), opacity_(opacity) {
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Separator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), OverlayStyle::white(lineAlpha * opacity_));
}

} // namespace tavlin
