#pragma once

#include "TavlinUI/ShortcutItem.h"

#include <vector>

namespace tavlin {

// Common rows first, retitled where the application has the same combination,
// then the scanned rows whose combination no common row has.
struct ShortcutMerge {
    static std::vector<ShortcutItem> merge(const std::vector<ShortcutItem>& common,
                                           const std::vector<ShortcutItem>& scanned);
};

} // namespace tavlin
