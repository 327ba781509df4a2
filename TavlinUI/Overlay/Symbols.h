#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace tavlin {

// The few symbol images the overlay uses, drawn as vector shapes so that they look
// the same on every desktop, whatever icon theme is installed.
struct Symbols {
    enum class Symbol {
        xmarkCircleFill, // a cross cut out of a filled circle
        handRaisedFill,  // a raised open hand
        keyboard,        // a keyboard outline with keys
        arrowUp,         // an upward arrow
    };

    // Paints the symbol centred in the largest square inside `rect`.
    static void paint(QPainter& painter, Symbol symbol, const QRectF& rect, const QColor& color);
};

} // namespace tavlin
