#include "TavlinUI/Overlay/CloseButton.h"

#include "TavlinUI/Overlay/OverlayStyle.h"
#include "TavlinUI/Overlay/Symbols.h"

#include <QCoreApplication>
#include <QPainter>

#include <cmath>

namespace tavlin {

namespace {
// The symbol is drawn at the title 2 size, a little larger than the letters, as a
// symbol sits in a line of that text.
int symbolSide() {
    return static_cast<int>(std::lround(OverlayStyle::pixelSize(OverlayStyle::TextStyle::title2) * 1.18));
}
} // namespace

CloseButton::CloseButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(QCoreApplication::translate("Overlay", "閉じる"));
}

QSize CloseButton::sizeHint() const {
    return QSize(symbolSide(), symbolSide());
}

void CloseButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double opacity = isDown() ? 0.8 : underMouse() ? 0.7 : 0.55;
    Symbols::paint(painter, Symbols::Symbol::xmarkCircleFill, QRectF(rect()),
                   OverlayStyle::white(opacity));
}

} // namespace tavlin
