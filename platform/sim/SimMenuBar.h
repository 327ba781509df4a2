#pragma once

#include "platform/sim/SimAccessibility.h"

#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform::sim {

// A menu item as an application would show it.
struct SimMenuItem {
    std::string title;
    std::string character;                 // "AXMenuItemCmdChar"; empty: not set
    std::optional<std::int64_t> modifiers; // "AXMenuItemCmdModifiers"
    std::optional<std::int64_t> glyph;     // "AXMenuItemCmdGlyph"
    std::optional<std::int64_t> virtualKey; // "AXMenuItemCmdVirtualKey"
    bool enabled = true;
    std::vector<SimMenuItem> submenu;       // empty: no submenu
    // "AXMenuItemCmdFollowingChords": the later chords of a key sequence, each read for
    // its character, glyph, virtual key and modifiers only; empty: not set.
    std::vector<SimMenuItem> followingChords = {};
};

struct SimMenu {
    std::string title;
    std::vector<SimMenuItem> items;
};

// Builds in-memory accessibility trees shaped like a real menu bar: application →
// menu bar → top-level items → their one menu → items → (submenu → items).
struct SimMenuBar {
    static std::shared_ptr<SimElement> application(const std::vector<SimMenu>& menus);
    static std::shared_ptr<SimElement> menuBar(const std::vector<SimMenu>& menus);
    static std::shared_ptr<SimElement> item(const SimMenuItem& item);
    static std::shared_ptr<SimElement> menu(const std::vector<SimMenuItem>& items);
};

} // namespace tavlin::platform::sim
