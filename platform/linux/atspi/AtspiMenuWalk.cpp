#include "platform/linux/atspi/AtspiMenuWalk.h"

#include "platform/linux/atspi/AtspiCaptureBuilder.h"
#include "platform/linux/atspi/AtspiRowTally.h"
#include "platform/linux/atspi/bus/AtspiPeerBatch.h"
#include "platform/linux/atspi/model/MenuSnapshot.h"

#include <glib.h>

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <set>

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
// Nodes being read at once, at most, when each is read as soon as it is met: about as
// many calls in flight.
constexpr std::size_t window = roundSize / 4;

// Runs `answered`, when there is one, once `count` calls have said they are answered.
std::function<void()> afterAll(int count, std::function<void()> answered) {
    if (!answered) return [] {};
    auto left = std::make_shared<int>(count);
    return [left, answered = std::move(answered)] {
        if (--*left == 0) answered();
    };
}

// Asks for an object's name and, when wanted, its role and states, into `details`.
void askDetails(AtspiPeerBatch& batch, const std::string& path, AtspiDetails& details, bool withRole, bool withStates,
                std::function<void()> answered) {
    const std::function<void()> each = afterAll(1 + withRole + withStates, std::move(answered));
    if (withRole)
        batch.role(path, [&details, each](std::optional<std::uint32_t> role) {
            if (role) details.role = *role;
            each();
        });
    if (withStates)
        batch.states(path, [&details, each](std::optional<std::uint64_t> states) {
            if (states) {
                details.states = *states;
                details.statesKnown = true;
            }
            each();
        });
    batch.name(path, [&details, each](std::optional<std::string> name) {
        if (name) {
            details.name = std::move(*name);
            details.known = true;
        }
        each();
    });
}

void askStates(AtspiPeerBatch& batch, const std::string& path, AtspiDetails& details, std::function<void()> answered) {
    batch.states(path, [&details, answered = std::move(answered)](std::optional<std::uint64_t> states) {
        if (states) {
            details.states = *states;
            details.statesKnown = true;
        }
        answered();
    });
}

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

MenuCapture AtspiMenuWalk::read(AtspiPeerConnection& peer, const std::string& barPath,
                                const std::optional<std::vector<std::string>>& barChildren, Deadline deadline) {
    AtspiCaptureBuilder builder;
    MenuCapture& capture = builder.capture();
    const std::size_t bar = builder.nodeFor(barPath);
    if (barChildren) {
        builder.setChildren(bar, *barChildren);
    } else {
        AtspiPeerBatch batch(peer, deadline);
        builder.askChildren(batch, bar);
        batch.wait();
        if (batch.timedOut()) return builder.take();
    }
    capture.nodes[bar].known = true;
    capture.nodes[bar].role = MenuCapture::Role::menuBar;

    // A node's place in menu order: the child positions from the bar down, which compare
    // in the order the scanner meets the nodes.
    using Place = std::vector<std::uint32_t>;
    struct Reading {
        Entry entry;
        Place place;
        AtspiDetails details;
    };
    std::map<Place, Entry> queue;           // met and not yet asked, in menu order
    std::set<Place> reading;                // asked and not fully answered
    std::deque<Reading> readings;           // what those were told; stays put as it grows
    std::unordered_set<std::size_t> read{bar};
    std::map<Place, std::size_t> rows;      // items read and not yet counted
    AtspiRowTally tally;
    bool launching = false;

    auto enqueue = [&](std::size_t index, const Place& place, int depth, bool underItem) {
        const std::vector<std::size_t>& children = capture.nodes[index].children;
        for (std::uint32_t i = 0; i < children.size(); ++i) {
            Place at = place;
            at.push_back(i);
            queue.emplace(std::move(at), Entry{children[i], depth, underItem, index});
        }
    };

    // The calls go out as soon as what they depend on is in, rather than a level at a
    // time: a node is asked as soon as its parent told its children, and what a node
    // turned out to be decides the calls that follow. At most `window` nodes are out at
    // once, the first in menu order, so that reading stops once the rows the overlay can
    // show are in.
    AtspiPeerBatch batch(peer, deadline);
    std::function<void()> launch;
    auto done = [&](Reading& node, bool row) {
        if (row) rows.emplace(node.place, node.entry.index);
        reading.erase(node.place);
        // The rows before the first node still to read are final.
        const Place* first = nullptr;
        if (!queue.empty()) first = &queue.begin()->first;
        if (!reading.empty() && (!first || *reading.begin() < *first)) first = &*reading.begin();
        while (!rows.empty() && (!first || rows.begin()->first < *first)) {
            tally.add(capture.nodes[rows.begin()->second]);
            rows.erase(rows.begin());
        }
        launch();
    };
    // Each node is asked only what tells the scan something. An item of the bar: its
    // name, states and children. An item inside a menu: its states and children (below
    // the deepest items read, whether there is a submenu changes no row, so not asked),
    // then its name and key binding only if it is enabled, as only then can it give a
    // row (a separator is a disabled item too). A child of an item, which may be the
    // item's menu (Qt) or an entry of it (GTK): its role, name and children; an entry
    // then its states and key binding.
    auto itemRead = [&](Reading& node) {
        const Entry& entry = node.entry;
        builder.apply(entry.index, node.details);
        if (entry.depth < MenuSnapshot::itemDepthBound) enqueue(entry.index, node.place, entry.depth, true);
        if (entry.depth == 1 || !capture.nodes[entry.index].sensitive) {
            done(node, entry.depth > 1);
            return;
        }
        auto both = std::make_shared<int>(2);
        auto answered = [&builder, &done, &node, both] {
            if (--*both > 0) return;
            builder.apply(node.entry.index, node.details);
            done(node, true);
        };
        askDetails(batch, builder.path(entry.index), node.details, false, false, answered);
        builder.askKeyBinding(batch, entry.index, answered);
    };
    auto childRead = [&](Reading& node) {
        const Entry& entry = node.entry;
        builder.apply(entry.index, node.details);
        if (MenuSnapshot::isMenuOf(capture.nodes[entry.parent], capture.nodes[entry.index])) {
            enqueue(entry.index, node.place, entry.depth + 1, false);
            done(node, false);
            return;
        }
        if (entry.depth + 1 < MenuSnapshot::itemDepthBound) enqueue(entry.index, node.place, entry.depth + 1, true);
        node.details = {};
        auto both = std::make_shared<int>(2);
        auto answered = [&capture, &done, &node, both] {
            if (--*both > 0) return;
            MenuCapture::Node& item = capture.nodes[node.entry.index];
            item.visible = !node.details.statesKnown || node.details.has(ATSPI_STATE_VISIBLE);
            item.sensitive = !node.details.statesKnown || node.details.has(ATSPI_STATE_SENSITIVE);
            done(node, true);
        };
        askStates(batch, builder.path(entry.index), node.details, answered);
        builder.askKeyBinding(batch, entry.index, answered);
    };
    launch = [&] {
        // Nodes answered while this loop sends (past the deadline, at once) only queue
        // what they open; the loop sends it.
        if (launching) return;
        launching = true;
        while (!queue.empty() && reading.size() < window && !tally.full()) {
            auto next = queue.extract(queue.begin());
            if (!read.insert(next.mapped().index).second) continue;
            reading.insert(next.key());
            Reading& node = readings.emplace_back(Reading{next.mapped(), std::move(next.key()), {}});
            const Entry& entry = node.entry;
            const std::string& path = builder.path(entry.index);
            if (entry.underItem) {
                auto both = std::make_shared<int>(2);
                auto answered = [&childRead, &node, both] {
                    if (--*both == 0) childRead(node);
                };
                askDetails(batch, path, node.details, true, false, answered);
                builder.askChildren(batch, entry.index, answered);
            } else {
                const bool deepest = entry.depth >= MenuSnapshot::itemDepthBound;
                auto left = std::make_shared<int>(deepest ? 1 : 2);
                auto answered = [&itemRead, &node, left] {
                    if (--*left == 0) itemRead(node);
                };
                if (entry.depth == 1)
                    askDetails(batch, path, node.details, false, true, answered);
                else
                    askStates(batch, path, node.details, answered);
                if (!deepest) builder.askChildren(batch, entry.index, answered);
            }
        }
        launching = false;
    };
    enqueue(bar, {}, 1, false);
    launch();
    batch.wait();
    if (tally.full()) g_debug("the rows shown are in: the menus past them not read");
    return builder.take();
}

} // namespace tavlin::platform::atspi
