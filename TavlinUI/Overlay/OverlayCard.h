#pragma once

#include "TavlinUI/Overlay/KeyText.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QWidget>

class QPainter;

namespace tavlin {

class ShortcutGrid;

// The dark translucent rounded card with the header, a separator, the content area
// (permission notice, empty notice or shortcut grid) and the footer.
class OverlayCard : public QWidget {
public:
    explicit OverlayCard(const ShortcutOverlay& overlay, KeyText::Notation notation = KeyText::Notation::desktop,
                         QWidget* parent = nullptr);

    static constexpr double cornerRadius = 24;
    // The shortcut grid, when the content area shows one.
    ShortcutGrid* grid() const { return grid_; }

    // The card's own drawing, the rounded fill and its outline, in a rectangle of the
    // card's size. The view draws it together with its shadow, once per size, so the
    // card widget itself paints nothing.
    static void paintBackground(QPainter& painter, const QRectF& rect);

private:
    QWidget* makeContent(const ShortcutOverlay& overlay, KeyText::Notation notation);

    ShortcutGrid* grid_ = nullptr;
};

} // namespace tavlin
