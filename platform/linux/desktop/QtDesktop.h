#pragma once

#include "platform/Geometry.h"
#include "platform/Image.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// What every Linux window system of ours reads from Qt the same way, X11 or Wayland:
// screens, theme icons and opening URLs.
struct QtDesktop {
    // The screen under the pointer (where the user is working), else the primary one.
    static std::optional<Screen> mainScreen();
    static std::vector<Screen> screens();
    // A theme icon by name, or an image file by absolute path, as an RGBA raster of at
    // most size × size; none when there is no such icon.
    static std::shared_ptr<const Image> themeIcon(const std::string& name, int size);
    // Opens a URL with the desktop's handler; the accessibility settings link starts the
    // running desktop's accessibility settings tool.
    static bool openURL(std::string_view url);
};

} // namespace tavlin::platform
