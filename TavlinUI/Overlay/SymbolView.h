#pragma once

#include "TavlinUI/Overlay/Symbols.h"

#include <QColor>
#include <QWidget>

namespace tavlin {

// A symbol image of a fixed size and colour.
class SymbolView : public QWidget {
public:
    SymbolView(Symbols::Symbol symbol, double size, const QColor& color, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Symbols::Symbol symbol_;
    QColor color_;
};

} // namespace tavlin
