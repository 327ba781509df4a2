#pragma once

#include "TavlinUI/ShortcutItem.h"

#include <optional>
#include <string>
#include <vector>

namespace tavlin {

// The always-available rows, with four more for the file manager.
struct CommonShortcuts {
    static std::vector<ShortcutItem> items(const std::optional<std::string>& bundleIdentifier);
};

} // namespace tavlin
