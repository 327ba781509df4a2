#pragma once

#include "platform/Geometry.h"

namespace tavlin {
class ShortcutOverlay;
}

namespace tavlin::platform {

// The floating overlay window: borderless, above other windows, on every desktop,
// able to take the keyboard without activating this program. Created once.
class Panel {
public:
    virtual ~Panel() = default;
    // Moves and resizes the window; `display` redraws it at once.
    virtual void setFrame(const Rect& frame, bool display) = 0;
    // Replaces the whole content with a view of this overlay.
    virtual void setContent(const ShortcutOverlay& overlay) = 0;
    // Puts the window on screen, in front, with the keyboard focus.
    virtual void makeKeyAndOrderFront() = 0;
    // Whether the window is on screen.
    virtual bool isVisible() const = 0;
    // Takes the window off screen; it stays allocated.
    virtual void orderOut() = 0;
};

} // namespace tavlin::platform
