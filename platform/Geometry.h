#pragma once

namespace tavlin::platform {

// A rectangle in screen coordinates, in points (1 point = 1 device-independent pixel).
struct Rect {
    double x = 0, y = 0, width = 0, height = 0;
    double midX() const { return x + width / 2; }
    double midY() const { return y + height / 2; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// One display; the visible frame leaves out panels and docks.
struct Screen {
    Rect visibleFrame;
    friend bool operator==(const Screen&, const Screen&) = default;
};

} // namespace tavlin::platform
