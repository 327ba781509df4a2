#pragma once

#include "platform/Geometry.h"

#include <functional>

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
    // Calls `handler` on the main thread, from the event loop, whenever the window on
    // screen loses the keyboard to a window not its own, or has not got it a short while
    // (keyGraceSeconds) after being put in front: the desktop gave it to something else
    // (another window, the shell's overview), and the window may not even be seen there.
    // Replaces the handler given before.
    virtual void observeKeyLoss(std::function<void()> handler) = 0;

    static constexpr double keyGraceSeconds = 1.5;
};

} // namespace tavlin::platform
