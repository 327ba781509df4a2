#pragma once

#include <cstdint>

namespace tavlin::platform {

// What the overlay's window asks of the window system beyond what the toolkit asks for
// it: to be on every desktop, out of the task bar and the pager, above other windows and
// not movable, and whether translucent pixels are composited on its screen (where they
// are not, the window cuts itself to the card's shape). Asked for the window's native
// handle, which the toolkit may replace between shows.
class PanelWindowHints {
public:
    using NativeWindow = std::uintptr_t;

    virtual ~PanelWindowHints() = default;

    // Before `window` is mapped: sets the properties the window manager reads when it
    // maps the window, and tells whether translucent pixels are composited.
    virtual bool prepare(NativeWindow window) = 0;
    // After it is mapped: asks the window manager again, as mapped windows are asked.
    virtual void request(NativeWindow window) = 0;
    // Whether the window system gives `window` the keyboard now.
    virtual bool hasKeyboard(NativeWindow window) = 0;
};

} // namespace tavlin::platform
