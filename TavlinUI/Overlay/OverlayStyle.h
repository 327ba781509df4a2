#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include <string>

namespace tavlin {

// The overlay's visual vocabulary: named text styles, prominence levels and colours.
// Sizes are points, and one point is one device-independent pixel.
struct OverlayStyle {
    enum class TextStyle { title2, title3, headline, body, subheadline, caption };

    // The overlay's font whose pixel height (em size) is `pixels` device-independent
    // pixels, fractions included. Qt only takes whole pixel sizes, so the size is
    // given in points converted with the screen's logical DPI.
    static QFont font(double pixels, QFont::Weight weight = QFont::Normal);
    static QFont font(TextStyle style, QFont::Weight weight = QFont::Normal);
    static double pixelSize(TextStyle style);

    static QColor white(double opacity);
    static QColor black(double opacity);
    static QColor primary();
    static QColor secondary();
    static QColor tertiary();
    static QColor orange();
    static QColor accent();
    // The card's dark translucent fill.
    static QColor cardFill();
    // A dark palette applied to the whole overlay, whatever the system's scheme.
    static QPalette darkPalette();

    static QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }
};

} // namespace tavlin
