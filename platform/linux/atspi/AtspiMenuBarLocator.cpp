#include "platform/linux/atspi/AtspiMenuBarLocator.h"

#include "platform/linux/atspi/bus/AtspiPeerBatch.h"

#include <glib.h>

#include <string_view>
#include <tuple>
#include <unordered_set>

namespace tavlin::platform::atspi {
namespace {

// Bounds against broken or hostile trees.
constexpr int searchDepth = 6;            // levels below a window searched for its menu bar
constexpr std::size_t searchNodes = 2000; // nodes looked at in that search
constexpr int parentChain = 64;           // ancestors followed from a menu bar to its window

// Roles whose insides hold no menu bar: not searched. Toolbars, status bars and the
// controls in them are most of a big window's objects (LibreOffice's, for one).
bool holdsNoMenuBar(std::uint32_t role) {
    switch (role) {
    case ATSPI_ROLE_TOOL_BAR:
    case ATSPI_ROLE_STATUS_BAR:
    case ATSPI_ROLE_PUSH_BUTTON:
    case ATSPI_ROLE_TOGGLE_BUTTON:
    case ATSPI_ROLE_CHECK_BOX:
    case ATSPI_ROLE_RADIO_BUTTON:
    case ATSPI_ROLE_LABEL:
    case ATSPI_ROLE_ICON:
    case ATSPI_ROLE_IMAGE:
    case ATSPI_ROLE_SCROLL_BAR:
    case ATSPI_ROLE_SLIDER:
    case ATSPI_ROLE_SPIN_BUTTON:
    case ATSPI_ROLE_ENTRY:
    case ATSPI_ROLE_SEPARATOR:
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

} // namespace

bool AtspiMenuBarLocator::shownInCache(const AtspiDetails::ByPath& cache, const std::string& bar) {
    // The entries of the bar's menus: GTK hangs them under the bar's items themselves.
    std::unordered_set<std::string> menus;
    for (const auto& [path, details] : cache)
        if (details.parent == bar) menus.insert(path);
    bool anyEntry = false;
    for (const auto& [path, details] : cache) {
        if (!menus.count(details.parent)) continue;
        // Only an entry known to be visible shows the bar: while LibreOffice starts, its
        // copy's entries may not tell their states yet, and the copy's keys are wrong.
        if (details.statesKnown && details.has(ATSPI_STATE_VISIBLE)) return true;
        anyEntry = true;
    }
    return !anyEntry;
}

std::optional<std::string> AtspiMenuBarLocator::fromCache(const AtspiDetails::ByPath& cache,
                                                          const std::vector<std::string>& windows) {
    std::optional<std::size_t> active;
    for (std::size_t i = 0; i < windows.size() && !active; ++i)
        if (auto it = cache.find(windows[i]); it != cache.end() && it->second.has(ATSPI_STATE_ACTIVE)) active = i;
    std::optional<std::string> best;
    std::size_t bestWindow = 0;
    bool bestShown = false;
    int bestDepth = 0;
    for (const auto& [path, details] : cache) {
        if (details.role != ATSPI_ROLE_MENU_BAR) continue;
        std::string ancestor = path;
        int depth = 0;
        std::optional<std::size_t> window;
        for (; depth < parentChain && !window; ++depth) {
            for (std::size_t i = 0; i < windows.size(); ++i)
                if (windows[i] == ancestor) window = i;
            if (window) break;
            auto it = cache.find(ancestor);
            if (it == cache.end() || it->second.parent.empty()) break;
            ancestor = it->second.parent;
        }
        if (depth == parentChain) g_debug("menu bar %s: over %d ancestors, not followed further", path.c_str(), parentChain);
        if (!window) continue;
        // Rank: the active window first, then window order, then a bar the toolkit shows,
        // then the shallowest bar.
        const std::size_t rank = active && *window == *active ? 0 : *window + 1;
        const bool shown = shownInCache(cache, path);
        const auto key = [](std::size_t window, bool shown, int depth, const std::string& path) {
            return std::tuple(window, !shown, depth, std::string_view(path));
        };
        if (!best || key(rank, shown, depth, path) < key(bestWindow, bestShown, bestDepth, *best)) {
            best = path;
            bestWindow = rank;
            bestShown = shown;
            bestDepth = depth;
        }
    }
    return best;
}

bool AtspiMenuBarLocator::shownLive(AtspiPeerConnection& peer, const Found& bar, Deadline deadline) {
    struct Menu {
        std::string path;
        std::uint32_t role = 0;
        std::optional<std::vector<std::string>> entries;
    };
    std::vector<Menu> menus;
    {
        std::optional<std::vector<std::string>> children = bar.children;
        if (!children) {
            AtspiPeerBatch batch(peer, deadline);
            batch.children(bar.path, [&children](std::optional<std::vector<std::string>> told) { children = std::move(told); });
            batch.wait();
            if (batch.timedOut() || !children) return true;
        }
        for (const std::string& child : *children) menus.push_back(Menu{child, 0, {}});
    }
    {
        AtspiPeerBatch batch(peer, deadline);
        for (Menu& menu : menus) {
            batch.role(menu.path, [&menu](std::optional<std::uint32_t> role) { menu.role = role.value_or(0); });
            batch.children(menu.path, [&menu](std::optional<std::vector<std::string>> entries) {
                menu.entries = std::move(entries);
            });
        }
        batch.wait();
        if (batch.timedOut()) return true;
    }
    std::vector<std::string> entries;
    for (const Menu& menu : menus) {
        if (menu.role != ATSPI_ROLE_MENU || !menu.entries) continue;
        for (const std::string& entry : *menu.entries) {
            if (entries.size() == entryBound) break;
            entries.push_back(entry);
        }
    }
    if (entries.empty()) return true;
    bool anyVisible = false;
    AtspiPeerBatch batch(peer, deadline);
    for (const std::string& entry : entries)
        batch.states(entry, [&anyVisible](std::optional<std::uint64_t> states) {
            if (states && ((*states >> ATSPI_STATE_VISIBLE) & 1U)) anyVisible = true;
        });
    batch.wait();
    return anyVisible || batch.timedOut();
}

std::optional<AtspiMenuBarLocator::Found> AtspiMenuBarLocator::search(AtspiPeerConnection& peer,
                                                                       const std::vector<std::string>& windows,
                                                                       Deadline deadline, const std::string& except) {
    struct Node {
        std::string path;
        std::size_t window;
        AtspiDetails details;
        std::optional<std::vector<std::string>> children;
    };
    std::vector<Node> level;
    for (std::size_t i = 0; i < windows.size(); ++i) level.push_back(Node{windows[i], i, {}, {}});
    std::optional<std::size_t> active;
    std::optional<Found> fallback;
    std::size_t seen = 0;
    for (int depth = 0; depth <= searchDepth && !level.empty(); ++depth) {
        {
            AtspiPeerBatch batch(peer, deadline);
            for (Node& node : level) {
                batch.role(node.path, [&node](std::optional<std::uint32_t> role) {
                    if (role) node.details.role = *role;
                });
                if (depth == 0)
                    batch.states(node.path, [&node](std::optional<std::uint64_t> states) {
                        if (states) node.details.states = *states;
                    });
                batch.children(node.path, [&node](std::optional<std::vector<std::string>> children) {
                    node.children = std::move(children);
                });
            }
            batch.wait();
            if (batch.timedOut()) {
                g_debug("menu bar search out of time at depth %d", depth);
                return fallback;
            }
        }
        if (depth == 0)
            for (const Node& window : level)
                if (!active && window.details.has(ATSPI_STATE_ACTIVE)) active = window.window;
        for (Node& node : level) {
            if (node.details.role != ATSPI_ROLE_MENU_BAR || node.path == except) continue;
            if (active && node.window == *active) return Found{std::move(node.path), std::move(node.children)};
            if (!fallback) fallback = Found{node.path, node.children};
        }
        // Once some window has a menu bar, only the active window is searched further.
        if (fallback && !active) return fallback;
        std::vector<Node> next;
        for (const Node& node : level) {
            if (holdsNoMenuBar(node.details.role)) continue;
            if (fallback && node.window != *active) continue;
            if (!node.children) continue;
            for (const std::string& child : *node.children) {
                if (++seen > searchNodes) {
                    if (seen == searchNodes + 1) g_debug("menu bar search stopped after %zu objects", searchNodes);
                    break;
                }
                next.push_back(Node{child, node.window, {}, {}});
            }
        }
        level = std::move(next);
    }
    return fallback;
}

} // namespace tavlin::platform::atspi
