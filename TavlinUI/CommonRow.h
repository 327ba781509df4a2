#pragma once

#include "TavlinUI/ShortcutItem.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin {

// One row of a table of always-available shortcuts, and the groups the tables share.
struct CommonRow {
    std::string_view group, title, keys;

    static constexpr std::string_view basics = "基本操作 \u00B7 常設";
    static constexpr std::string_view screenshots = "スクリーンショット \u00B7 常設";

    // Appends the rows as shortcut items, each with a fresh id.
    static void append(std::vector<ShortcutItem>& into, std::span<const CommonRow> rows) {
        for (const CommonRow& row : rows)
            into.emplace_back(std::string(row.group), std::string(row.title), std::string(row.keys));
    }
};

} // namespace tavlin
