#pragma once

#include "TavlinUI/Overlay/KeyText.h"
#include "TavlinUI/Overlay/MarginImage.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QImage>
#include <QRegion>
#include <QSize>
#include <QWidget>

namespace tavlin {

class ShortcutGrid;

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

    // Whether the view already draws `overlay` in `notation` exactly as a new view would.
    bool shows(const ShortcutOverlay& overlay, KeyText::Notation notation) const;
    // For a view that shows(overlay): its controls and Escape call `overlay`'s actions
    // from now on, and the list starts at its top again, as in a new view.
    void reuseFor(const ShortcutOverlay& overlay);
    // For a new view that replaces `previous`: takes over what of it a new view would
    // draw again the same (its backdrop, the group cards of the same groups).
    void takeOverFrom(OverlayView& previous);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Nothing of the view is drawn differently with the focus: gaining or losing it
    // repaints nothing.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The overlay's content with actions that call those of the latest overlay given.
    ShortcutOverlay forwarding(const ShortcutOverlay& overlay);
    // The shadow around the card and the card's own fill and outline.
    QImage backdropImage(double scale) const;

    ShortcutOverlay overlay_;
    KeyText::Notation notation_;
    QWidget* card_ = nullptr;
    ShortcutGrid* grid_ = nullptr;
    // The backdrop, drawn once per size, card geometry and device pixel ratio.
    MarginImage backdrop_;
    QSize backdropSize_;
    QRect backdropCard_;
    double backdropScale_ = 0;
};

} // namespace tavlin
