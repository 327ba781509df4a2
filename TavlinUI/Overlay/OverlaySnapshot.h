#pragma once

#include "TavlinUI/Overlay/KeyText.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QImage>
#include <QSize>

namespace tavlin {

// Draws an overlay into an image the way a panel of the given size would show it,
// without putting anything on screen. Works with the offscreen platform.
struct OverlaySnapshot {
    // `scale` is the device pixel ratio of the image (2 gives a sharp image for
    // high-density screens); the background stays transparent around the card.
    static QImage render(const ShortcutOverlay& overlay, QSize panelSize, double scale = 1.0,
                         KeyText::Notation notation = KeyText::Notation::desktop);
};

} // namespace tavlin
