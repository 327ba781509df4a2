#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform::atspi {

// The menu bar of one application as read from the accessibility bus in one scan, in
// the toolkit's own shape. Node 0 is the menu bar; children refer to other nodes by
// index. A node whose details were not read (beyond the depth a scan reads) has
// `known` false.
struct MenuCapture {
    enum class Role { menuBar, menu, popupMenu, item, separator, other };

    struct Node {
        bool known = false;
        std::string name;
        Role role = Role::other;
        bool visible = true;
        bool sensitive = true;
        std::optional<std::string> keyBinding; // as the Action interface reports it
        bool childrenKnown = false;
        std::vector<std::size_t> children;
    };

    std::vector<Node> nodes;
};

} // namespace tavlin::platform::atspi
