#pragma once

#include "TavlinUI/ShortcutItem.h"

#include <string>
#include <tuple>
#include <vector>

namespace tavlin::testing {

// A row's texts (group, title, keys), for comparing lists without their identifiers.
using Row = std::tuple<std::string, std::string, std::string>;

inline std::vector<Row> rows(const std::vector<ShortcutItem>& items) {
    std::vector<Row> out;
    for (const auto& item : items) out.emplace_back(item.group(), item.title(), item.keys());
    return out;
}

} // namespace tavlin::testing
