#pragma once

#include "platform/PanelWindowHints.h"
#include "platform/linux/x11/X11Compositing.h"
#include "platform/linux/x11/X11WindowHints.h"

#include <memory>

namespace tavlin::platform {

// The overlay window's hints on X11: the window manager hints and the compositing check,
// made for one X window and made again when the toolkit replaces it. Does nothing where
// the program has no X11 display, and there takes translucency as composited.
class X11PanelHints final : public PanelWindowHints {
public:
    bool prepare(NativeWindow window) override;
    void request(NativeWindow window) override;
    // Whether the X input focus is on `window` (one round trip).
    bool hasKeyboard(NativeWindow window) override;

private:
    std::unique_ptr<X11WindowHints> hints_;
    std::unique_ptr<X11Compositing> compositing_;
};

} // namespace tavlin::platform
