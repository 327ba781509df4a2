#pragma once

#include "platform/linux/atspi/model/MenuSnapshot.h"

#include <cstddef>
#include <unordered_map>
#include <vector>

namespace tavlin::platform::atspi {

// One node of a menu bar to read, and what it is taken for: an item at some depth (the
// menu bar's items are at depth 1), or a child of such an item, which may be the item's
// menu (Qt) or an entry of it (GTK). Both walks of a menu bar meet their nodes so.
struct AtspiMenuEntry {
    enum class Kind { item, childOfItem };
    std::size_t index;
    int depth;
    Kind kind;
    std::size_t parent;
    std::size_t owner; // the item whose menu holds it (the bar for its own items)
};

// The item whose menu holds each node met, as a walk meets them.
struct AtspiMenuOwners {
    std::unordered_map<std::size_t, std::size_t> ownerOf;

    void met(const AtspiMenuEntry& entry) { ownerOf.emplace(entry.index, entry.owner); }
    // The items from the bar's (`bar` their owner) down to `item`, each in the menu of
    // the one before; no deeper than the scanner reads.
    std::vector<std::size_t> itemsDownTo(std::size_t item, std::size_t bar) const {
        std::vector<std::size_t> items{item};
        for (auto owner = ownerOf.find(item); owner != ownerOf.end() && owner->second != bar &&
                                              items.size() <= static_cast<std::size_t>(MenuSnapshot::itemDepthBound);
             owner = ownerOf.find(owner->second))
            items.insert(items.begin(), owner->second);
        return items;
    }
};

} // namespace tavlin::platform::atspi
