#include "platform/linux/AtspiMenuReader.h"

#include "platform/linux/AtspiCallBatch.h"
#include "platform/linux/MenuSnapshot.h"

#include <atspi/atspi-constants.h>

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
    std::string parent;   // path of the parent on the same bus, when known
    int childCount = -1;  // -1 when unknown
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

std::string text(GVariant* value) { return value ? std::string(g_variant_get_string(value, nullptr)) : std::string(); }

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

void onChildren(AtspiCallBatch& batch, const std::string& bus, const std::string& path,
                std::function<void(std::vector<std::string>)> done) {
    batch.call(bus, path, accessibleInterface, "GetChildren", nullptr, "(a(so))",
               [bus, done = std::move(done)](GVariant* reply) {
                   if (!reply) return;
                   GVariant* list = g_variant_get_child_value(reply, 0);
                   done(pathsOn(list, bus));
                   g_variant_unref(list);
               });
}

// Asks for an object's role, states and name; `details` must outlive the batch's wait.
void askDetails(AtspiCallBatch& batch, const std::string& bus, const std::string& path, Details& details) {
    batch.call(bus, path, accessibleInterface, "GetRole", nullptr, "(u)", [&details](GVariant* reply) {
        if (reply) g_variant_get(reply, "(u)", &details.role);
    });
    batch.call(bus, path, accessibleInterface, "GetState", nullptr, "(au)", [&details](GVariant* reply) {
        if (!reply) return;
        GVariant* words = g_variant_get_child_value(reply, 0);
        details.states = statesOf(words);
        g_variant_unref(words);
    });
    batch.call(bus, path, "org.freedesktop.DBus.Properties", "Get", g_variant_new("(ss)", accessibleInterface, "Name"),
               "(v)", [&details](GVariant* reply) {
                   if (!reply) return;
                   GVariant* boxed = g_variant_get_child_value(reply, 0);
                   GVariant* name = g_variant_get_variant(boxed);
                   if (g_variant_is_of_type(name, G_VARIANT_TYPE_STRING)) {
                       details.name = text(name);
                       details.known = true;
                   }
                   g_variant_unref(name);
                   g_variant_unref(boxed);
               });
}

// Reads the toolkit's cache of its objects (GTK answers it; Qt answers an empty list).
void readCache(GVariant* reply, const std::string& bus, std::unordered_map<std::string, Details>& cache) {
    GVariant* items = g_variant_get_child_value(reply, 0);
    const std::string type = g_variant_get_type_string(items);
    // Two layouts are in use: with the child count, or with the list of children.
    const bool counted = type == "a((so)(so)(so)iiassusau)";
    if (counted || type == "a((so)(so)(so)a(so)assusau)") {
        const gsize nameAt = counted ? 6 : 5;
        GVariantIter iter;
        g_variant_iter_init(&iter, items);
        while (GVariant* item = g_variant_iter_next_value(&iter)) {
            const gchar *selfBus = nullptr, *selfPath = nullptr, *parentBus = nullptr, *parentPath = nullptr;
            g_variant_get_child(item, 0, "(&s&o)", &selfBus, &selfPath);
            g_variant_get_child(item, 2, "(&s&o)", &parentBus, &parentPath);
            if (bus == selfBus) {
                Details& details = cache[selfPath];
                details.known = true;
                GVariant* name = g_variant_get_child_value(item, nameAt);
                details.name = text(name);
                g_variant_unref(name);
                g_variant_get_child(item, nameAt + 1, "u", &details.role);
                GVariant* words = g_variant_get_child_value(item, nameAt + 3);
                details.states = statesOf(words);
                g_variant_unref(words);
                if (bus == parentBus) details.parent = parentPath;
                if (counted) {
                    gint32 count = -1;
                    g_variant_get_child(item, 4, "i", &count);
                    details.childCount = count;
                }
            }
            g_variant_unref(item);
        }
    }
    g_variant_unref(items);
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
        if (!best || rank < bestWindow || (rank == bestWindow && depth < bestDepth)) {
            best = path;
            bestWindow = rank;
            bestDepth = depth;
        }
    }
    return best;
}

// The same choice for a toolkit without a cache: a search, level by level, below the
// windows, each level asked in one batch.
std::optional<std::string> searchMenuBar(GDBusConnection* connection, const std::string& bus,
                                         const std::vector<std::string>& windows, Deadline deadline) {
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
            AtspiCallBatch batch(connection, deadline);
            for (Found& node : level) {
                batch.call(bus, node.path, accessibleInterface, "GetRole", nullptr, "(u)", [&node](GVariant* reply) {
                    if (reply) g_variant_get(reply, "(u)", &node.details.role);
                });
                if (depth == 0)
                    batch.call(bus, node.path, accessibleInterface, "GetState", nullptr, "(au)", [&node](GVariant* reply) {
                        if (!reply) return;
                        GVariant* words = g_variant_get_child_value(reply, 0);
                        node.details.states = statesOf(words);
                        g_variant_unref(words);
                    });
                onChildren(batch, bus, node.path, [&node](std::vector<std::string> children) { node.children = std::move(children); });
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

// Reads the menu bar at `barPath` and the menus below it, as deep as the scanner reads.
MenuCapture readMenus(GDBusConnection* connection, const std::string& bus, const std::string& barPath,
                      const std::unordered_map<std::string, Details>& cache, Deadline deadline) {
    MenuCapture capture;
    std::vector<std::string> paths;
    std::unordered_map<std::string, std::size_t> indexOf;
    auto nodeFor = [&](const std::string& path) {
        if (auto it = indexOf.find(path); it != indexOf.end()) return it->second;
        capture.nodes.emplace_back();
        paths.push_back(path);
        indexOf.emplace(path, capture.nodes.size() - 1);
        return capture.nodes.size() - 1;
    };
    auto apply = [&capture](std::size_t index, const Details& details) {
        MenuCapture::Node& node = capture.nodes[index];
        node.known = details.known;
        node.name = details.name;
        node.role = menuRole(details.role);
        node.visible = has(details.states, ATSPI_STATE_VISIBLE);
        node.sensitive = has(details.states, ATSPI_STATE_SENSITIVE);
    };

    // One node to read, and what it is: an item at some depth (the menu bar's items are
    // at depth 1), or a child of such an item that may be the item's menu (Qt) or an
    // entry of it (GTK).
    struct Entry {
        std::size_t index;
        int depth;
        bool underItem;
        std::size_t parent;
    };
    std::unordered_set<std::size_t> read;
    std::unordered_map<std::size_t, Details> asked;

    auto readRound = [&](const std::vector<Entry>& entries, bool withDetails) {
        AtspiCallBatch batch(connection, deadline);
        for (const Entry& entry : entries) {
            const std::size_t index = entry.index;
            const std::string path = paths[index];
            std::optional<std::uint32_t> role;
            int childCount = -1;
            if (auto it = cache.find(path); it != cache.end()) {
                apply(index, it->second);
                role = it->second.role;
                childCount = it->second.childCount;
            } else if (withDetails) {
                askDetails(batch, bus, path, asked[index]);
            }
            const bool wrapperOrBar = role && (*role == ATSPI_ROLE_MENU_BAR || *role == ATSPI_ROLE_POPUP_MENU ||
                                               *role == ATSPI_ROLE_SEPARATOR);
            if (withDetails && !wrapperOrBar)
                batch.call(bus, path, "org.a11y.atspi.Action", "GetKeyBinding", g_variant_new("(i)", 0), "(s)",
                           [&capture, index](GVariant* reply) {
                               if (reply) {
                                   const gchar* binding = nullptr;
                                   g_variant_get(reply, "(&s)", &binding);
                                   capture.nodes[index].keyBinding = binding;
                               }
                           });
            if (childCount == 0) {
                capture.nodes[index].childrenKnown = true;
            } else {
                onChildren(batch, bus, path, [&, index](std::vector<std::string> children) {
                    std::vector<std::size_t> indices;
                    for (const std::string& child : children)
                        if (capture.nodes.size() < menuNodes) indices.push_back(nodeFor(child));
                    capture.nodes[index].children = std::move(indices);
                    capture.nodes[index].childrenKnown = true;
                });
            }
        }
        batch.wait();
        for (auto& [index, details] : asked) apply(index, details);
        asked.clear();
        return !batch.timedOut();
    };

    const std::size_t bar = nodeFor(barPath);
    if (!readRound({Entry{bar, 0, false, bar}}, false)) return capture;
    capture.nodes[bar].known = true;
    capture.nodes[bar].role = MenuCapture::Role::menuBar;

    std::vector<Entry> entries;
    for (std::size_t child : capture.nodes[bar].children) entries.push_back(Entry{child, 1, false, bar});
    while (!entries.empty()) {
        std::vector<Entry> fresh;
        for (const Entry& entry : entries)
            if (read.insert(entry.index).second) fresh.push_back(entry);
        if (!readRound(fresh, true)) break;
        std::vector<Entry> next;
        auto itemAt = [&](std::size_t index, int depth) {
            if (depth >= MenuSnapshot::itemDepthBound) return;
            for (std::size_t child : capture.nodes[index].children) next.push_back(Entry{child, depth, true, index});
        };
        for (const Entry& entry : fresh) {
            if (!entry.underItem) {
                itemAt(entry.index, entry.depth);
            } else if (MenuSnapshot::isMenuOf(capture.nodes[entry.parent], capture.nodes[entry.index])) {
                for (std::size_t child : capture.nodes[entry.index].children)
                    next.push_back(Entry{child, entry.depth + 1, false, entry.index});
            } else {
                itemAt(entry.index, entry.depth + 1);
            }
        }
        entries = std::move(next);
    }
    return capture;
}

} // namespace

std::vector<AtspiMenuReader::Application> AtspiMenuReader::applications(GDBusConnection* connection,
                                                                         Clock::time_point deadline, bool withNames) {
    std::vector<Application> applications;
    {
        AtspiCallBatch batch(connection, deadline);
        batch.call(registryName, rootPath, accessibleInterface, "GetChildren", nullptr, "(a(so))",
                   [&applications](GVariant* reply) {
                       if (!reply) return;
                       GVariant* list = g_variant_get_child_value(reply, 0);
                       GVariantIter iter;
                       g_variant_iter_init(&iter, list);
                       const gchar *bus = nullptr, *path = nullptr;
                       while (g_variant_iter_next(&iter, "(&s&o)", &bus, &path))
                           applications.push_back(Application{bus, path, 0, {}});
                       g_variant_unref(list);
                   });
        batch.wait();
    }
    std::vector<Details> names(withNames ? applications.size() : 0);
    {
        AtspiCallBatch batch(connection, deadline);
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

std::optional<MenuCapture> AtspiMenuReader::menuBar(GDBusConnection* connection, const Application& application,
                                                    Clock::time_point deadline) {
    const std::string& bus = application.bus;
    std::unordered_map<std::string, Details> cache;
    std::vector<std::string> windows;
    {
        AtspiCallBatch batch(connection, deadline);
        // Asking for the application's own bus address makes a GTK application start the
        // cache of its objects, which the next call reads in one piece.
        batch.call(bus, application.path, "org.a11y.atspi.Application", "GetApplicationBusAddress", nullptr, nullptr,
                   [](GVariant*) {});
        batch.call(bus, cachePath, "org.a11y.atspi.Cache", "GetItems", nullptr, nullptr, [&](GVariant* reply) {
            if (reply) readCache(reply, bus, cache);
        });
        onChildren(batch, bus, application.path, [&windows](std::vector<std::string> children) { windows = std::move(children); });
        batch.wait();
        if (batch.timedOut()) return std::nullopt;
    }
    std::optional<std::string> bar = menuBarFromCache(cache, windows);
    if (!bar) bar = searchMenuBar(connection, bus, windows, deadline);
    if (!bar) return std::nullopt;
    return readMenus(connection, bus, *bar, cache, deadline);
}

} // namespace tavlin::platform::atspi
