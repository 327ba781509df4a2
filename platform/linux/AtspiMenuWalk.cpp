#include "platform/linux/AtspiMenuWalk.h"

#include "platform/linux/AtspiCallBatch.h"
#include "platform/linux/AtspiCaptureBuilder.h"
#include "platform/linux/AtspiRowTally.h"
#include "platform/linux/MenuSnapshot.h"

#include <algorithm>
#include <deque>

namespace tavlin::platform::atspi {
namespace {

// One node to read, and what it is: an item at some depth (the menu bar's items are at
// depth 1), or a child of such an item that may be the item's menu (Qt) or an entry of
// it (GTK).
struct Entry {
    std::size_t index;
    int depth;
    bool underItem;
    std::size_t parent;
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
                                     const AtspiDetails::ByPath& cache, Deadline deadline) {
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
    // Walks the cache below the bar in the children's order as known, into `builder`,
    // and gives the items whose key bindings count, in that order.
    auto walk = [&](AtspiCaptureBuilder& builder) {
        // Pushes the children of a node so that they come off the stack in order.
        std::vector<Entry> stack;
        std::unordered_set<std::size_t> shownAnyway;
        auto push = [&](const std::vector<std::string>& below, int depth, bool underItem, std::size_t parent) {
            const bool told = visibilityTold(cache, below);
            for (auto kid = below.rbegin(); kid != below.rend(); ++kid) {
                stack.push_back(Entry{builder.nodeFor(*kid), depth, underItem, parent});
                if (!told) shownAnyway.insert(stack.back().index);
            }
        };
        const std::size_t bar = builder.nodeFor(barPath);
        builder.apply(bar, cache.at(barPath));
        builder.node(bar).role = MenuCapture::Role::menuBar;
        builder.setChildren(bar, kidsOf(barPath));
        push(kidsOf(barPath), 1, false, bar);
        std::unordered_set<std::size_t> read{bar};
        std::vector<std::size_t> keyed;
        while (!stack.empty() && builder.size() < AtspiCaptureBuilder::nodeCap) {
            const Entry entry = stack.back();
            stack.pop_back();
            if (!read.insert(entry.index).second) continue;
            const std::string path = builder.path(entry.index);
            builder.apply(entry.index, cache.at(path));
            if (shownAnyway.count(entry.index)) builder.node(entry.index).visible = true;
            const std::vector<std::string>& below = kidsOf(path);
            if (entry.underItem && MenuSnapshot::isMenuOf(builder.node(entry.parent), builder.node(entry.index))) {
                builder.setChildren(entry.index, below);
                push(below, entry.depth + 1, false, entry.index);
                continue;
            }
            const int depth = entry.underItem ? entry.depth + 1 : entry.depth;
            // Only an enabled, titled item inside a menu can give a row: the others' key
            // bindings (and the menu bar's own items') aren't read.
            const MenuCapture::Node& node = builder.node(entry.index);
            if (depth > 1 && node.sensitive && node.visible && !node.name.empty() &&
                node.role != MenuCapture::Role::separator)
                keyed.push_back(entry.index);
            // Below the deepest items read, only whether there is a submenu counts.
            builder.setChildren(entry.index, below);
            if (depth < MenuSnapshot::itemDepthBound && !below.empty()) push(below, depth, true, entry.index);
        }
        if (!stack.empty()) g_debug("menu bar of over %zu objects: the rest not read", AtspiCaptureBuilder::nodeCap);
        return keyed;
    };

    // The order of the others is asked for together with the first key bindings, which
    // don't wait for it: which items count doesn't depend on their order, only where a
    // cap cuts them off, and the walk in menu order afterwards asks for any it missed.
    std::unordered_map<std::string, std::string> bindings; // by path, as told
    {
        AtspiCaptureBuilder provisional;
        const std::vector<std::size_t> keyed = walk(provisional);
        AtspiPeerBatch batch(peer, deadline);
        for (const std::string& parent : unordered)
            batch.children(parent, [&kids, &cache, parent](std::vector<std::string> children) {
                std::erase_if(children, [&cache](const std::string& child) { return !cache.count(child); });
                kids[parent] = std::move(children);
            });
        for (std::size_t i = 0; i < keyed.size() && i < roundSize; ++i) {
            const std::string& path = provisional.path(keyed[i]);
            bindings.emplace(path, "");
            batch.keyBinding(path, [&bindings, path](std::string binding) { bindings[path] = std::move(binding); });
        }
        batch.wait();
        if (batch.timedOut()) bindings.clear();
    }
    AtspiCaptureBuilder builder;
    const std::vector<std::size_t> keyed = walk(builder); // in menu order
    AtspiRowTally tally;
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
            tally.add(builder.node(keyed[next++]));
            continue;
        }
        std::vector<std::size_t> asked;
        for (std::size_t i = next; i < keyed.size() && asked.size() < roundSize; ++i)
            if (!bindings.count(builder.path(keyed[i]))) asked.push_back(keyed[i]);
        AtspiPeerBatch batch(peer, deadline);
        for (std::size_t index : asked) {
            const std::string& path = builder.path(index);
            bindings.emplace(path, "");
            batch.keyBinding(path, [&bindings, path](std::string binding) { bindings[path] = std::move(binding); });
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

MenuCapture AtspiMenuWalk::read(const AtspiCalls::Peer& peer, const std::string& barPath, Deadline deadline) {
    AtspiCaptureBuilder builder;
    MenuCapture& capture = builder.capture();
    std::unordered_set<std::size_t> read;
    // A node still to read, with its place in menu order: the child positions from the
    // bar down, which compare in the order the scanner meets the nodes. A late item is a
    // child of an item that turned out to be an entry itself: its states and key binding
    // are still to read.
    using Place = std::vector<std::uint32_t>;
    struct Pending {
        Entry entry;
        bool late;
        Place place;
    };

    // Each round asks, for every node it is given, only what tells the scan something:
    // a child of an item (which may be the item's menu) its role, name and children; an
    // item its name, states, key binding and children (the menu bar's own items need no
    // key binding); a late item its states and key binding. What a round that ran out of
    // time was told is kept; it returns whether it was told everything.
    auto readRound = [&](const std::vector<Pending>& round) {
        std::unordered_map<std::size_t, AtspiDetails> asked, late;
        bool complete;
        {
            AtspiCallBatch batch(peer.connection, peer.context, deadline);
            for (const Pending& pending : round) {
                const Entry& entry = pending.entry;
                if (pending.late) {
                    AtspiCalls::details(batch, peer.destination, builder.path(entry.index), late[entry.index], false, true);
                    builder.askKeyBinding(batch, peer, entry.index);
                    continue;
                }
                AtspiCalls::details(batch, peer.destination, builder.path(entry.index), asked[entry.index],
                                    entry.underItem, !entry.underItem);
                if (!entry.underItem && entry.depth > 1) builder.askKeyBinding(batch, peer, entry.index);
                builder.askChildren(batch, peer, entry.index);
            }
            batch.wait();
            complete = !batch.timedOut();
        }
        for (auto& [index, details] : asked) builder.apply(index, details);
        for (auto& [index, details] : late) {
            MenuCapture::Node& node = capture.nodes[index];
            node.visible = !details.statesKnown || details.has(ATSPI_STATE_VISIBLE);
            node.sensitive = !details.statesKnown || details.has(ATSPI_STATE_SENSITIVE);
        }
        return complete;
    };

    const std::size_t bar = builder.nodeFor(barPath);
    {
        AtspiCallBatch batch(peer.connection, peer.context, deadline);
        builder.askChildren(batch, peer, bar);
        batch.wait();
        if (batch.timedOut()) return builder.take();
    }
    capture.nodes[bar].known = true;
    capture.nodes[bar].role = MenuCapture::Role::menuBar;

    std::deque<Pending> pending;
    auto childrenOf = [&](std::vector<Pending>& into, std::size_t index, const Place& place, int depth, bool underItem) {
        const std::vector<std::size_t>& children = capture.nodes[index].children;
        for (std::uint32_t i = 0; i < children.size(); ++i) {
            Place at = place;
            at.push_back(i);
            into.push_back(Pending{Entry{children[i], depth, underItem, index}, false, std::move(at)});
        }
    };
    {
        std::vector<Pending> first;
        childrenOf(first, bar, {}, 1, false);
        pending.assign(first.begin(), first.end());
    }
    std::vector<std::pair<Place, std::size_t>> rows; // items read and not yet counted
    AtspiRowTally tally;
    while (!pending.empty() && !tally.full()) {
        std::vector<Pending> round;
        while (!pending.empty() && round.size() < roundSize) {
            Pending next = std::move(pending.front());
            pending.pop_front();
            if (next.late || read.insert(next.entry.index).second) round.push_back(std::move(next));
        }
        const bool complete = readRound(round);
        // What was read opens the nodes below it, which come before the rest in menu order.
        std::vector<Pending> opened;
        for (const Pending& done : round) {
            const Entry& entry = done.entry;
            if (done.late) {
                rows.emplace_back(done.place, entry.index);
            } else if (!entry.underItem) {
                if (entry.depth > 1) rows.emplace_back(done.place, entry.index);
                if (entry.depth < MenuSnapshot::itemDepthBound) childrenOf(opened, entry.index, done.place, entry.depth, true);
            } else if (MenuSnapshot::isMenuOf(capture.nodes[entry.parent], capture.nodes[entry.index])) {
                childrenOf(opened, entry.index, done.place, entry.depth + 1, false);
            } else {
                opened.push_back(Pending{entry, true, done.place});
                if (entry.depth + 1 < MenuSnapshot::itemDepthBound)
                    childrenOf(opened, entry.index, done.place, entry.depth + 1, true);
            }
        }
        pending.insert(pending.begin(), opened.begin(), opened.end());
        if (!complete) break;
        // The rows before the first node still to read are final.
        std::erase_if(rows, [&](const std::pair<Place, std::size_t>& row) {
            if (!pending.empty() && !(row.first < pending.front().place)) return false;
            tally.add(capture.nodes[row.second]);
            return true;
        });
    }
    if (tally.full()) g_debug("the rows shown are in: the menus past them not read");
    return builder.take();
}

} // namespace tavlin::platform::atspi
