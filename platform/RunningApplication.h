#pragma once

#include "platform/Image.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tavlin::platform {

// The window system's description of one running application.
struct RunningApplication {
    std::int32_t processIdentifier = 0;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> localizedName;
    std::shared_ptr<const Image> icon;
};

} // namespace tavlin::platform
