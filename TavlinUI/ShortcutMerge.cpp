#include "TavlinUI/ShortcutMerge.h"

#include "TavlinUI/Text.h"

#include <unordered_map>
#include <unordered_set>

namespace tavlin {

std::vector<ShortcutItem> ShortcutMerge::merge(const std::vector<ShortcutItem>& common,
                                               const std::vector<ShortcutItem>& scanned) {
    // The first scanned row with a combination names it.
    std::unordered_map<std::string, const std::string*, Text::Hasher, Text::Equal> titleByKeys;
    titleByKeys.reserve(scanned.size());
    for (const ShortcutItem& row : scanned) titleByKeys.try_emplace(row.keys(), &row.title());

    std::vector<ShortcutItem> merged;
    merged.reserve(common.size() + scanned.size());
    std::unordered_set<std::string, Text::Hasher, Text::Equal> commonKeys;
    commonKeys.reserve(common.size());
    for (const ShortcutItem& row : common) {
        const auto found = titleByKeys.find(row.keys());
        if (found != titleByKeys.end() && !Text::equal(*found->second, row.title()))
            merged.emplace_back(row.group(), *found->second, row.keys());
        else
            merged.push_back(row);
        commonKeys.insert(row.keys());
    }
    for (const ShortcutItem& row : scanned)
        if (!commonKeys.contains(row.keys())) merged.push_back(row);
    return merged;
}

} // namespace tavlin
