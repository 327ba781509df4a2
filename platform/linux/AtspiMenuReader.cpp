#include "platform/linux/AtspiMenuReader.h"

#include "Tavlin/ShortcutScanner.h"
#include "platform/linux/AtspiCallBatch.h"
#include "platform/linux/GLibHandle.h"
#include "platform/linux/KeyBindingParser.h"
#include "platform/linux/MenuSnapshot.h"

#include <atspi/atspi-constants.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace tavlin::platform::atspi {
namespace {

constexpr const char* accessibleInterface = "org.a11y.atspi.Accessible";
constexpr const char* registryName = "org.a11y.atspi.Registry";
constexpr const char* rootPath = "/org/a11y/atspi/accessible/root";
constexpr const char* cachePath = "/org/a11y/atspi/cache";

// Bounds against broken or hostile trees.
constexpr int searchDepth = 6;            // levels below a window searched for its menu bar
constexpr std::size_t searchNodes = 2000; // nodes looked at in that search
constexpr std::size_t menuNodes = 5000;   // nodes of one menu bar

// What one object says about itself.
struct Details {
    bool known = false;
    std::string name;
    std::uint32_t role = ATSPI_ROLE_INVALID;
    std::uint64_t states = 0;
    bool statesKnown = false;
    std::string parent;   // path of the parent on the same bus, when known
    int index = -1;       // place among the parent's children; -1 when unknown
};

bool has(std::uint64_t states, AtspiStateType state) { return (states >> state) & 1U; }

MenuCapture::Role menuRole(std::uint32_t role) {
    switch (role) {
    case ATSPI_ROLE_MENU_BAR: return MenuCapture::Role::menuBar;
    case ATSPI_ROLE_MENU: return MenuCapture::Role::menu;
    case ATSPI_ROLE_POPUP_MENU: return MenuCapture::Role::popupMenu;
    case ATSPI_ROLE_MENU_ITEM:
    case ATSPI_ROLE_CHECK_MENU_ITEM:
    case ATSPI_ROLE_RADIO_MENU_ITEM:
    case ATSPI_ROLE_TEAROFF_MENU_ITEM: return MenuCapture::Role::item;
    case ATSPI_ROLE_SEPARATOR: return MenuCapture::Role::separator;
    default: return MenuCapture::Role::other;
    }
}

// Roles whose insides hold no menu bar: not searched.
bool holdsNoMenuBar(std::uint32_t role) {
    switch (role) {
    case ATSPI_ROLE_MENU_BAR:
    case ATSPI_ROLE_MENU:
    case ATSPI_ROLE_POPUP_MENU:
    case ATSPI_ROLE_TABLE:
    case ATSPI_ROLE_TREE_TABLE:
    case ATSPI_ROLE_TREE:
    case ATSPI_ROLE_LIST:
    case ATSPI_ROLE_LIST_BOX:
    case ATSPI_ROLE_TEXT:
    case ATSPI_ROLE_DOCUMENT_FRAME:
    case ATSPI_ROLE_DOCUMENT_TEXT:
    case ATSPI_ROLE_DOCUMENT_WEB:
    case ATSPI_ROLE_TERMINAL:
    case ATSPI_ROLE_COMBO_BOX: return true;
    default: return false;
    }
}

// Where an application's objects are reached: through the bus, or through a direct
// connection to the application (`destination` empty). Object references in replies
// name the application's bus name either way.
struct Peer {
    GDBusConnection* connection;
    GMainContext* context;
    std::string destination;
    std::string bus;
};

std::uint64_t statesOf(GVariant* words) {
    std::uint64_t states = 0;
    const gsize count = g_variant_n_children(words);
    for (gsize i = 0; i < count && i < 2; ++i) {
        guint32 word = 0;
        g_variant_get_child(words, i, "u", &word);
        states |= static_cast<std::uint64_t>(word) << (32 * i);
    }
    return states;
}

using glib::child;
using glib::text;
using glib::Variant;

// The (bus, path) pairs of an "a(so)" value that live on `bus`.
std::vector<std::string> pathsOn(GVariant* references, const std::string& bus) {
    std::vector<std::string> paths;
    GVariantIter iter;
    g_variant_iter_init(&iter, references);
    const gchar* name = nullptr;
    const gchar* path = nullptr;
    while (g_variant_iter_next(&iter, "(&s&o)", &name, &path))
        if (bus == name) paths.emplace_back(path);
    return paths;
}

void onChildren(AtspiCallBatch& batch, const Peer& peer, const std::string& path,
                std::function<void(std::vector<std::string>)> done) {
    batch.call(peer.destination, path, accessibleInterface, "GetChildren", nullptr, "(a(so))",
               [bus = peer.bus, done = std::move(done)](GVariant* reply) {
                   if (reply) done(pathsOn(child(reply, 0).get(), bus));
               });
}

// Asks for an object's name and, when wanted, its role and states; `details` must
// outlive the batch's wait.
void askDetails(AtspiCallBatch& batch, const std::string& destination, const std::string& path, Details& details,
                bool withRole = true, bool withStates = true) {
    if (withRole)
        batch.call(destination, path, accessibleInterface, "GetRole", nullptr, "(u)", [&details](GVariant* reply) {
            if (reply) g_variant_get(reply, "(u)", &details.role);
        });
    if (withStates)
        batch.call(destination, path, accessibleInterface, "GetState", nullptr, "(au)", [&details](GVariant* reply) {
            if (!reply) return;
            details.states = statesOf(child(reply, 0).get());
            details.statesKnown = true;
        });
    batch.call(destination, path, "org.freedesktop.DBus.Properties", "Get", g_variant_new("(ss)", accessibleInterface, "Name"),
               "(v)", [&details](GVariant* reply) {
                   if (!reply) return;
                   const Variant name(g_variant_get_variant(child(reply, 0).get()));
                   if (g_variant_is_of_type(name.get(), G_VARIANT_TYPE_STRING)) {
                       details.name = text(name.get());
                       details.known = true;
                   }
               });
}

// Reads the toolkit's cache of its objects (GTK answers it; Qt answers an empty list).
// Returns false when the reply has neither of the two layouts in use.
bool readCache(GVariant* reply, const std::string& bus, std::unordered_map<std::string, Details>& cache) {
    const Variant list = child(reply, 0);
    GVariant* items = list.get();
    const std::string_view type = g_variant_get_type_string(items);
    // With the child count, or (older) with the list of children.
    const bool counted = type == "a((so)(so)(so)iiassusau)";
    const bool listed = type == "a((so)(so)(so)a(so)assusau)";
    if (counted || listed) {
        const gsize nameAt = counted ? 6 : 5;
        const gsize count = g_variant_n_children(items);
        cache.reserve(count);
        // One field of an object reference "(so)" in the tuple.
        auto string = [](GVariant* tuple, gsize at, gsize field) { return text(child(child(tuple, at).get(), field).get()); };
        for (gsize i = 0; i < count; ++i) {
            const Variant held = child(items, i);
            GVariant* item = held.get();
            if (bus != string(item, 0, 0)) continue;
            Details& details = cache[string(item, 0, 1)];
            details.known = true;
            details.name = text(child(item, nameAt).get());
            details.role = g_variant_get_uint32(child(item, nameAt + 1).get());
            details.states = statesOf(child(item, nameAt + 3).get());
            details.statesKnown = true;
            if (bus == string(item, 2, 0)) details.parent = string(item, 2, 1);
            if (counted) details.index = g_variant_get_int32(child(item, 3).get());
        }
    }
    return counted || listed;
}

using Deadline = AtspiMenuReader::Clock::time_point;

// The menu bar to read: under the active window if it has one, else under the first
// window that has one; found in the toolkit's cache when it answered it.
std::optional<std::string> menuBarFromCache(const std::unordered_map<std::string, Details>& cache,
                                            const std::vector<std::string>& windows) {
    std::optional<std::size_t> active;
    for (std::size_t i = 0; i < windows.size() && !active; ++i)
        if (auto it = cache.find(windows[i]); it != cache.end() && has(it->second.states, ATSPI_STATE_ACTIVE)) active = i;
    std::optional<std::string> best;
    std::size_t bestWindow = 0;
    int bestDepth = 0;
    for (const auto& [path, details] : cache) {
        if (details.role != ATSPI_ROLE_MENU_BAR) continue;
        std::string ancestor = path;
        int depth = 0;
        std::optional<std::size_t> window;
        for (; depth < 64 && !window; ++depth) {
            for (std::size_t i = 0; i < windows.size(); ++i)
                if (windows[i] == ancestor) window = i;
            if (window) break;
            auto it = cache.find(ancestor);
            if (it == cache.end() || it->second.parent.empty()) break;
            ancestor = it->second.parent;
        }
        if (!window) continue;
        // Rank: the active window first, then window order, then the shallowest bar.
        const std::size_t rank = active && *window == *active ? 0 : *window + 1;
        if (!best || rank < bestWindow || (rank == bestWindow && (depth < bestDepth || (depth == bestDepth && path < *best)))) {
            best = path;
            bestWindow = rank;
            bestDepth = depth;
        }
    }
    return best;
}

// The same choice for a toolkit without a cache: a search, level by level, below the
// windows, each level asked in one batch.
std::optional<std::string> searchMenuBar(const Peer& peer, const std::vector<std::string>& windows, Deadline deadline) {
    struct Found {
        std::string path;
        std::size_t window;
        Details details;
        std::vector<std::string> children;
    };
    std::vector<Found> level;
    for (std::size_t i = 0; i < windows.size(); ++i) level.push_back(Found{windows[i], i, {}, {}});
    std::optional<std::size_t> active;
    std::optional<std::string> fallback;
    std::size_t seen = 0;
    for (int depth = 0; depth <= searchDepth && !level.empty(); ++depth) {
        {
            AtspiCallBatch batch(peer.connection, peer.context, deadline);
            for (Found& node : level) {
                batch.call(peer.destination, node.path, accessibleInterface, "GetRole", nullptr, "(u)", [&node](GVariant* reply) {
                    if (reply) g_variant_get(reply, "(u)", &node.details.role);
                });
                if (depth == 0)
                    batch.call(peer.destination, node.path, accessibleInterface, "GetState", nullptr, "(au)", [&node](GVariant* reply) {
                        if (reply) node.details.states = statesOf(child(reply, 0).get());
                    });
                onChildren(batch, peer, node.path, [&node](std::vector<std::string> children) { node.children = std::move(children); });
            }
            batch.wait();
            if (batch.timedOut()) return fallback;
        }
        if (depth == 0)
            for (const Found& window : level)
                if (!active && has(window.details.states, ATSPI_STATE_ACTIVE)) active = window.window;
        for (const Found& node : level) {
            if (node.details.role != ATSPI_ROLE_MENU_BAR) continue;
            if (active && node.window == *active) return node.path;
            if (!fallback) fallback = node.path;
        }
        // Once some window has a menu bar, only the active window is searched further.
        if (fallback && !active) return fallback;
        std::vector<Found> next;
        for (const Found& node : level) {
            if (holdsNoMenuBar(node.details.role)) continue;
            if (fallback && node.window != *active) continue;
            for (const std::string& child : node.children) {
                if (++seen > searchNodes) break;
                next.push_back(Found{child, node.window, {}, {}});
            }
        }
        level = std::move(next);
    }
    return fallback;
}

// A capture under construction: nodes by object path.
struct CaptureBuilder {
    MenuCapture capture;
    std::vector<std::string> paths;
    std::unordered_map<std::string, std::size_t> indexOf;

    std::size_t nodeFor(const std::string& path) {
        if (auto it = indexOf.find(path); it != indexOf.end()) return it->second;
        capture.nodes.emplace_back();
        paths.push_back(path);
        indexOf.emplace(path, capture.nodes.size() - 1);
        return capture.nodes.size() - 1;
    }
    void apply(std::size_t index, const Details& details) {
        MenuCapture::Node& node = capture.nodes[index];
        node.known = details.known;
        node.name = details.name;
        node.role = menuRole(details.role);
        // States that couldn't be read leave the node shown and enabled.
        node.visible = !details.statesKnown || has(details.states, ATSPI_STATE_VISIBLE);
        node.sensitive = !details.statesKnown || has(details.states, ATSPI_STATE_SENSITIVE);
    }
    void askChildren(AtspiCallBatch& batch, const Peer& peer, std::size_t index) {
        onChildren(batch, peer, paths[index], [this, index](std::vector<std::string> children) {
            // Past the cap, only nodes met already are kept.
            std::vector<std::size_t> indices;
            for (const std::string& child : children)
                if (capture.nodes.size() < menuNodes || indexOf.count(child)) indices.push_back(nodeFor(child));
            capture.nodes[index].children = std::move(indices);
            capture.nodes[index].childrenKnown = true;
        });
    }
    void askKeyBinding(AtspiCallBatch& batch, const Peer& peer, std::size_t index) {
        batch.call(peer.destination, paths[index], "org.a11y.atspi.Action", "GetKeyBinding", g_variant_new("(i)", 0), "(s)",
                   [this, index](GVariant* reply) {
                       if (reply) capture.nodes[index].keyBinding = text(child(reply, 0).get());
                   });
    }
};

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

// The rows the scanner will make of the items read so far, counted as it counts them:
// an enabled, titled item whose key binding holds a shortcut, each title and binding
// once. Reading can stop when it is full.
class RowTally {
public:
    void add(const MenuCapture::Node& node) {
        if (!node.known || !node.sensitive || node.name.empty() || node.role == MenuCapture::Role::separator ||
            !node.keyBinding || !KeyBindingParser::parse(*node.keyBinding, node.name))
            return;
        rows_.insert(node.name + '\0' + *node.keyBinding);
    }
    bool full() const { return rows_.size() >= ShortcutScanner::resultCap; }

private:
    std::unordered_set<std::string> rows_;
};

// Reads the menus below the bar at `barPath` when the toolkit's cache already told what
// every node is and where it hangs: what is left to ask is the order of the children
// the cache gives no places for, and the key bindings, asked for in menu order a part
// at a time until the rows the overlay shows are in.
MenuCapture readCachedMenus(const Peer& peer, const std::string& barPath,
                            const std::unordered_map<std::string, Details>& cache, Deadline deadline) {
    CaptureBuilder builder;
    std::unordered_map<std::string, std::vector<std::string>> kids;
    for (const auto& [path, details] : cache)
        if (!details.parent.empty()) kids[details.parent].push_back(path);
    // Children whose places the cache gives, each once and without gaps, are in order
    // already.
    std::unordered_set<std::string> ordered;
    for (auto& [parent, children] : kids) {
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
            ordered.insert(parent);
        }
    }
    // The order of the others below the bar is asked for, in one batch, before the walk,
    // so that the walk (and where a cap cuts it) follows menu order.
    std::vector<std::string> unordered;
    {
        std::vector<std::string> queue{barPath};
        std::unordered_set<std::string> met{barPath};
        for (std::size_t at = 0; at < queue.size(); ++at) {
            const auto it = kids.find(queue[at]);
            if (it == kids.end()) continue;
            if (!ordered.count(queue[at])) unordered.push_back(queue[at]);
            for (const std::string& kid : it->second)
                if (met.insert(kid).second) queue.push_back(kid);
        }
    }
    if (!unordered.empty()) {
        AtspiCallBatch batch(peer.connection, peer.context, deadline);
        for (const std::string& parent : unordered)
            onChildren(batch, peer, parent, [&kids, &cache, parent](std::vector<std::string> children) {
                std::erase_if(children, [&cache](const std::string& child) { return !cache.count(child); });
                kids[parent] = std::move(children);
            });
        batch.wait();
    }
    auto orderOf = [&](std::size_t index, const std::vector<std::string>& below) {
        std::vector<std::size_t> indices;
        for (const std::string& kid : below) indices.push_back(builder.nodeFor(kid));
        builder.capture.nodes[index].children = std::move(indices);
        builder.capture.nodes[index].childrenKnown = true;
    };
    auto kidsOf = [&kids](const std::string& path) -> const std::vector<std::string>& {
        static const std::vector<std::string> none;
        auto it = kids.find(path);
        return it == kids.end() ? none : it->second;
    };
    // Pushes the children of a node so that they come off the stack in menu order.
    std::vector<Entry> stack;
    auto push = [&](const std::vector<std::string>& below, int depth, bool underItem, std::size_t parent) {
        for (auto kid = below.rbegin(); kid != below.rend(); ++kid)
            stack.push_back(Entry{builder.nodeFor(*kid), depth, underItem, parent});
    };

    const std::size_t bar = builder.nodeFor(barPath);
    builder.apply(bar, cache.at(barPath));
    builder.capture.nodes[bar].role = MenuCapture::Role::menuBar;
    orderOf(bar, kidsOf(barPath));
    push(kidsOf(barPath), 1, false, bar);
    std::unordered_set<std::size_t> read{bar};
    std::vector<std::size_t> keyed; // the items whose key bindings count, in menu order
    while (!stack.empty() && builder.capture.nodes.size() < menuNodes) {
        const Entry entry = stack.back();
        stack.pop_back();
        if (!read.insert(entry.index).second) continue;
        const std::string path = builder.paths[entry.index];
        builder.apply(entry.index, cache.at(path));
        const std::vector<std::string>& below = kidsOf(path);
        MenuCapture::Node& node = builder.capture.nodes[entry.index];
        if (entry.underItem && MenuSnapshot::isMenuOf(builder.capture.nodes[entry.parent], node)) {
            orderOf(entry.index, below);
            push(below, entry.depth + 1, false, entry.index);
            continue;
        }
        const int depth = entry.underItem ? entry.depth + 1 : entry.depth;
        // Only an enabled, titled item inside a menu can give a row: the others' key
        // bindings (and the menu bar's own items') aren't read.
        if (depth > 1 && node.sensitive && node.visible && !node.name.empty() && node.role != MenuCapture::Role::separator)
            keyed.push_back(entry.index);
        if (depth < MenuSnapshot::itemDepthBound && !below.empty()) {
            orderOf(entry.index, below);
            push(below, depth, true, entry.index);
        } else {
            // Below the deepest items read, only whether there is a submenu counts.
            std::vector<std::size_t> indices;
            for (const std::string& kid : below) indices.push_back(builder.nodeFor(kid));
            builder.capture.nodes[entry.index].children = std::move(indices);
            builder.capture.nodes[entry.index].childrenKnown = true;
        }
    }
    RowTally tally;
    for (std::size_t next = 0; next < keyed.size() && !tally.full();) {
        const std::size_t end = std::min(keyed.size(), next + roundSize);
        AtspiCallBatch batch(peer.connection, peer.context, deadline);
        for (std::size_t i = next; i < end; ++i) builder.askKeyBinding(batch, peer, keyed[i]);
        batch.wait();
        for (; next < end; ++next) tally.add(builder.capture.nodes[keyed[next]]);
        if (batch.timedOut()) break;
    }
    return std::move(builder.capture);
}

// Reads the menu bar at `barPath` and the menus below it, as deep as the scanner reads:
// what a node is decides what is read below it. The nodes still to read are kept in
// menu order, and each round reads the first of them, so that a big menu bar is read
// from its start and reading can stop once the rows the overlay shows are in.
MenuCapture readMenus(const Peer& peer, const std::string& barPath, Deadline deadline) {
    CaptureBuilder builder;
    MenuCapture& capture = builder.capture;
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
        std::unordered_map<std::size_t, Details> asked, late;
        bool complete;
        {
            AtspiCallBatch batch(peer.connection, peer.context, deadline);
            for (const Pending& pending : round) {
                const Entry& entry = pending.entry;
                if (pending.late) {
                    askDetails(batch, peer.destination, builder.paths[entry.index], late[entry.index], false, true);
                    builder.askKeyBinding(batch, peer, entry.index);
                    continue;
                }
                askDetails(batch, peer.destination, builder.paths[entry.index], asked[entry.index], entry.underItem,
                           !entry.underItem);
                if (!entry.underItem && entry.depth > 1) builder.askKeyBinding(batch, peer, entry.index);
                builder.askChildren(batch, peer, entry.index);
            }
            batch.wait();
            complete = !batch.timedOut();
        }
        for (auto& [index, details] : asked) builder.apply(index, details);
        for (auto& [index, details] : late) {
            MenuCapture::Node& node = capture.nodes[index];
            node.visible = !details.statesKnown || has(details.states, ATSPI_STATE_VISIBLE);
            node.sensitive = !details.statesKnown || has(details.states, ATSPI_STATE_SENSITIVE);
        }
        return complete;
    };

    const std::size_t bar = builder.nodeFor(barPath);
    {
        AtspiCallBatch batch(peer.connection, peer.context, deadline);
        builder.askChildren(batch, peer, bar);
        batch.wait();
        if (batch.timedOut()) return std::move(builder.capture);
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
    RowTally tally;
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
    return std::move(builder.capture);
}

} // namespace

std::vector<AtspiMenuReader::Application> AtspiMenuReader::applications(GDBusConnection* connection,
                                                                         GMainContext* context,
                                                                         Clock::time_point deadline, bool withNames) {
    std::vector<Application> applications;
    {
        AtspiCallBatch batch(connection, context, deadline);
        batch.call(registryName, rootPath, accessibleInterface, "GetChildren", nullptr, "(a(so))",
                   [&applications](GVariant* reply) {
                       if (!reply) return;
                       const Variant list = child(reply, 0);
                       GVariantIter iter;
                       g_variant_iter_init(&iter, list.get());
                       const gchar *bus = nullptr, *path = nullptr;
                       while (g_variant_iter_next(&iter, "(&s&o)", &bus, &path))
                           applications.push_back(Application{bus, path, 0, {}});
                   });
        batch.wait();
    }
    std::vector<Details> names(withNames ? applications.size() : 0);
    {
        AtspiCallBatch batch(connection, context, deadline);
        for (std::size_t i = 0; i < applications.size(); ++i) {
            Application& application = applications[i];
            batch.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                       "GetConnectionUnixProcessID", g_variant_new("(s)", application.bus.c_str()), "(u)",
                       [&application](GVariant* reply) {
                           guint32 pid = 0;
                           if (reply) g_variant_get(reply, "(u)", &pid);
                           application.pid = static_cast<std::int32_t>(pid);
                       });
            if (withNames) askDetails(batch, application.bus, application.path, names[i]);
        }
        batch.wait();
    }
    for (std::size_t i = 0; i < names.size(); ++i) applications[i].name = names[i].name;
    return applications;
}

std::optional<MenuCapture> AtspiMenuReader::menuBar(GDBusConnection* connection, GMainContext* context,
                                                    const Application& application, Clock::time_point deadline) {
    const Peer onBus{connection, context, application.bus, application.bus};
    std::string address;
    std::vector<std::string> windows;
    {
        AtspiCallBatch batch(connection, context, deadline);
        // The application's own address for direct connections. Asking for it also makes
        // a GTK application start the cache of its objects, which is read below.
        batch.call(onBus.destination, application.path, "org.a11y.atspi.Application", "GetApplicationBusAddress",
                   nullptr, "(s)", [&address](GVariant* reply) {
                       if (reply) address = text(child(reply, 0).get());
                   });
        onChildren(batch, onBus, application.path, [&windows](std::vector<std::string> children) { windows = std::move(children); });
        batch.wait();
        if (batch.timedOut()) return std::nullopt;
    }
    // Calls go straight to the application when it offers a local socket, which spares
    // the bus daemon two hops per call. Any other kind of address is not followed.
    glib::Connection direct;
    if (address.rfind("unix:path=", 0) == 0 || address.rfind("unix:abstract=", 0) == 0) {
        AtspiCallBatch batch(connection, context, deadline);
        batch.connect(address, false, [&direct](GDBusConnection* opened) { direct.reset(opened); });
        batch.wait();
    }
    const Peer peer = direct ? Peer{direct.get(), context, "", application.bus} : onBus;

    std::unordered_map<std::string, Details> cache;
    {
        AtspiCallBatch batch(peer.connection, peer.context, deadline);
        batch.call(peer.destination, cachePath, "org.a11y.atspi.Cache", "GetItems", nullptr, nullptr,
                   [&](GVariant* reply) { if (reply) readCache(reply, peer.bus, cache); });
        batch.wait();
        if (batch.timedOut()) return std::nullopt;
    }
    if (std::optional<std::string> bar = menuBarFromCache(cache, windows)) return readCachedMenus(peer, *bar, cache, deadline);
    if (std::optional<std::string> bar = searchMenuBar(peer, windows, deadline)) return readMenus(peer, *bar, deadline);
    return std::nullopt;
}

} // namespace tavlin::platform::atspi
