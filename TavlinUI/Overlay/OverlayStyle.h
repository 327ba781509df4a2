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

    // The shortcut grid: its columns of group cards, and the bar under them with the
    // legend line and the back-to-top button.
    struct Grid {
        // Around the columns on every side. The vertical scroll bar sits inside the right
        // inset, so the columns get the same width whether or not the list scrolls; the
        // bar's ends are in line with the columns' outer edges.
        static constexpr int inset = 20;
        static constexpr int scrollBarWidth = 10;
        static constexpr int columnGap = 14;
        // Between the group cards of a column.
        static constexpr int cardGap = 14;
        // The bar: above and below its contents, and between the legend and the button.
        static constexpr int barPadding = 7;
        static constexpr int barSpacing = 12;
        // The glide back to the top of the list.
        static constexpr int backToTopMilliseconds = 180;
    };
};

} // namespace tavlin
