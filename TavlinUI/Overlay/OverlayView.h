#pragma once

#include "TavlinUI/Overlay/KeyText.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QRegion>
#include <QSize>
#include <QWidget>

namespace tavlin {

// The whole overlay drawn from one ShortcutOverlay value: the card inset by 18 points
// from the window's edges, in the dark scheme, with keys in the given notation. Escape calls the overlay's close action.
class OverlayView : public QWidget {
public:
    explicit OverlayView(const ShortcutOverlay& overlay, KeyText::Notation notation = KeyText::Notation::desktop,
                         QWidget* parent = nullptr);

    static constexpr int inset = 18;
    // The card's rounded rectangle in a view of the given size: what a window that
    // cannot be transparent keeps of the view.
    static QRegion cardRegion(const QSize& size);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ShortcutOverlay overlay_;
};

} // namespace tavlin
