#include "TavlinUI/Overlay/SymbolView.h"

#include <QPainter>

#include <cmath>

namespace tavlin {

SymbolView::SymbolView(Symbols::Symbol symbol, double size, const QColor& color, QWidget* parent)
    : QWidget(parent), symbol_(symbol), color_(color) {
    const int side = static_cast<int>(std::ceil(size));
    setFixedSize(side, side);
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Symbols::paint(painter, symbol_, QRectF(rect()), color_);
}

} // namespace tavlin
