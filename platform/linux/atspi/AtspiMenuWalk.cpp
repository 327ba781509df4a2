#include "platform/linux/atspi/AtspiMenuWalk.h"

#include "platform/linux/atspi/AtspiCaptureBuilder.h"
#include "platform/linux/atspi/AtspiMenuEntry.h"
#include "platform/linux/atspi/AtspiRowTally.h"
#include "platform/linux/atspi/bus/AtspiPeerBatch.h"
#include "platform/linux/atspi/model/MenuSnapshot.h"

#include <glib.h>

#include <algorithm>

namespace tavlin::platform::atspi {
namespace {

using Kind = AtspiMenuEntry::Kind;
using Entry = AtspiMenuEntry;

// What a walk of the cache found: the items whose key bindings count, in menu order, and
// the item whose menu holds each node met.
struct Walked {
    std::vector<std::size_t> keyed;
    AtspiMenuOwners owners;
};

// Calls sent in one batch at most, so that a big menu is read a part at a time, in menu
// order, and reading stops once the rows the overlay can show are in.
constexpr std::size_t roundSize = 200;

} // namespace

AtspiMenuWalk::Children AtspiMenuWalk::children(const AtspiDetails::ByPath& cache) {
    Children result;
    for (const auto& [path, details] : cache)
        if (!details.parent.empty()) result.of[details.parent].push_back(path);
    // Children whose places the cache gives, each once and without gaps, are in order.
    for (auto& [parent, children] : result.of) {
        std::vector<std::string> byPlace(children.size());
        bool complete = true;
        for (const std::string& child : children) {
            const int place = cache.at(child).index;
            if (place < 0 || static_cast<std::size_t>(place) >= byPlace.size() || !byPlace[place].empty()) {
                complete = false;
                break;
            }
            byPlace[place] = child;
        }
        if (complete) {
            children = std::move(byPlace);
            result.placed.insert(parent);
        }
    }
    return result;
}

bool AtspiMenuWalk::visibilityTold(const AtspiDetails::ByPath& cache, const std::vector<std::string>& entries) {
    return entries.empty() || std::any_of(entries.begin(), entries.end(), [&cache](const std::string& entry) {
               const auto it = cache.find(entry);
               return it == cache.end() || !it->second.statesKnown || it->second.has(ATSPI_STATE_VISIBLE);
           });
}

MenuCapture AtspiMenuWalk::fromCache(AtspiPeerConnection& peer, const std::string& barPath,
                                     const AtspiDetails::ByPath& cache, Deadline deadline,
                                     const std::optional<RowBudget>& budget) {
    Children order = children(cache);
    auto& kids = order.of;
    // The order of the others below the bar is asked for, in one batch, before the walk,
    // so that the walk (and where a cap cuts it) follows menu order.
    std::vector<std::string> unordered;
    {
        std::vector<std::string> queue{barPath};
        std::unordered_set<std::string> met{barPath};
        for (std::size_t at = 0; at < queue.size(); ++at) {
            const auto it = kids.find(queue[at]);
            if (it == kids.end()) continue;
            if (!order.placed.count(queue[at])) unordered.push_back(queue[at]);
            for (const std::string& kid : it->second)
                if (met.insert(kid).second) queue.push_back(kid);
        }
    }
    auto kidsOf = [&kids](const std::string& path) -> const std::vector<std::string>& {
        static const std::vector<std::string> none;
        auto it = kids.find(path);
        return it == kids.end() ? none : it->second;
    };
    // Walks the cache below the bar in the children's order as known, into `builder`.
    auto walk = [&](AtspiCaptureBuilder& builder) {
        // Pushes the children of a node so that they come off the stack in order.
        std::vector<Entry> stack;
        std::unordered_set<std::size_t> shownAnyway;
        auto push = [&](const std::vector<std::string>& below, int depth, Kind kind, std::size_t parent,
                        std::size_t owner) {
            const bool told = visibilityTold(cache, below);
            for (auto kid = below.rbegin(); kid != below.rend(); ++kid) {
                stack.push_back(Entry{builder.nodeFor(*kid), depth, kind, parent, owner});
                if (!told) shownAnyway.insert(stack.back().index);
            }
        };
        const std::size_t bar = builder.nodeFor(barPath);
        builder.apply(bar, cache.at(barPath));
        builder.node(bar).role = MenuCapture::Role::menuBar;
        builder.setChildren(bar, kidsOf(barPath));
        push(kidsOf(barPath), 1, Kind::item, bar, bar);
        std::unordered_set<std::size_t> read{bar};
        Walked walked;
        while (!stack.empty() && builder.size() < AtspiCaptureBuilder::nodeCap) {
            const Entry entry = stack.back();
            stack.pop_back();
            if (!read.insert(entry.index).second) continue;
            walked.owners.met(entry);
            const std::string path = builder.path(entry.index);
            builder.apply(entry.index, cache.at(path));
            if (shownAnyway.count(entry.index)) builder.node(entry.index).visible = true;
            const std::vector<std::string>& below = kidsOf(path);
            if (entry.kind == Kind::childOfItem &&
                MenuSnapshot::isMenuOf(builder.node(entry.parent), builder.node(entry.index))) {
                builder.setChildren(entry.index, below);
                push(below, entry.depth + 1, Kind::item, entry.index, entry.owner);
                continue;
            }
            const int depth = entry.kind == Kind::childOfItem ? entry.depth + 1 : entry.depth;
            // Only an enabled, titled item inside a menu can give a row: the others' key
            // bindings (and the menu bar's own items') aren't read.
            const MenuCapture::Node& node = builder.node(entry.index);
            if (depth > 1 && node.sensitive && node.visible && !node.name.empty() &&
                node.role != MenuCapture::Role::separator)
                walked.keyed.push_back(entry.index);
            // Below the deepest items read, only whether there is a submenu counts.
            builder.setChildren(entry.index, below);
            if (depth < MenuSnapshot::itemDepthBound && !below.empty())
                push(below, depth, Kind::childOfItem, entry.index, entry.index);
        }
        if (!stack.empty()) g_debug("menu bar of over %zu objects: the rest not read", AtspiCaptureBuilder::nodeCap);
        return walked;
    };

    // The order of the others is asked for together with the first key bindings, which
    // don't wait for it: which items count doesn't depend on their order, only where a
    // cap cuts them off, and the walk in menu order afterwards asks for any it missed.
    std::unordered_map<std::string, std::string> bindings; // by path, as told
    {
        AtspiCaptureBuilder provisional;
        const std::vector<std::size_t> keyed = walk(provisional).keyed;
        AtspiPeerBatch batch(peer, deadline);
        for (const std::string& parent : unordered)
            batch.children(parent, [&kids, &cache, parent](std::optional<std::vector<std::string>> children) {
                if (!children) return;
                std::erase_if(*children, [&cache](const std::string& child) { return !cache.count(child); });
                kids[parent] = std::move(*children);
            });
        for (std::size_t i = 0; i < keyed.size() && i < roundSize; ++i) {
            const std::string& path = provisional.path(keyed[i]);
            bindings.emplace(path, "");
            batch.keyBinding(path, [&bindings, path](std::optional<std::string> binding) {
                if (binding) bindings[path] = std::move(*binding);
            });
        }
        // Past the deadline, what was told still counts.
        batch.wait();
    }
    AtspiCaptureBuilder builder;
    const Walked walked = walk(builder);
    const std::vector<std::size_t>& keyed = walked.keyed; // in menu order
    const std::size_t bar = builder.nodeFor(barPath);
    AtspiRowTally tally(budget);
    std::size_t next = 0;
    auto take = [&](std::size_t index) {
        const auto told = bindings.find(builder.path(index));
        if (told == bindings.end()) return false;
        builder.node(index).keyBinding = told->second;
        return true;
    };
    while (next < keyed.size() && !tally.full()) {
        // The rows whose bindings are in count first; the next round asks for the rest.
        if (take(keyed[next])) {
            tally.add(builder.capture(), walked.owners.itemsDownTo(keyed[next++], bar));
            continue;
        }
        std::vector<std::size_t> asked;
        for (std::size_t i = next; i < keyed.size() && asked.size() < roundSize; ++i)
            if (!bindings.count(builder.path(keyed[i]))) asked.push_back(keyed[i]);
        AtspiPeerBatch batch(peer, deadline);
        for (std::size_t index : asked) {
            const std::string& path = builder.path(index);
            bindings.emplace(path, "");
            batch.keyBinding(path, [&bindings, path](std::optional<std::string> binding) {
                if (binding) bindings[path] = std::move(*binding);
            });
        }
        batch.wait();
        if (batch.timedOut()) {
            // What was told by the deadline still counts.
            for (; next < keyed.size(); ++next) take(keyed[next]);
            break;
        }
    }
    if (tally.full()) g_debug("the rows shown are in: key bindings past them not read");
    return builder.take();
}

} // namespace tavlin::platform::atspi
