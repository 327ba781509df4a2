#pragma once

#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QWidget>

namespace tavlin {

// The card's top band: application icon, name and subtitle, and the close button.
class OverlayHeader : public QWidget {
public:
    explicit OverlayHeader(const ShortcutOverlay& overlay, QWidget* parent = nullptr);
};

} // namespace tavlin
