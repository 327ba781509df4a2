#pragma once

#include <cstdint>
#include <vector>

namespace tavlin::platform {

// An application icon as a raster: width × height pixels, 4 bytes each (R, G, B, A),
// rows top to bottom, not premultiplied.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

} // namespace tavlin::platform
