#include "platform/linux/atspi/model/MenuSnapshot.h"

#include "platform/linux/atspi/model/KeyBindingParser.h"
#include "platform/linux/atspi/model/SnapshotElement.h"

#include <algorithm>

namespace tavlin::platform::atspi {
namespace {

using Role = MenuCapture::Role;

// The children of `node` that are shown, in order; GTK hides an item by clearing its
// visible state, and a node not read is kept.
std::vector<std::size_t> shownChildren(const MenuCapture& capture, const MenuCapture::Node& node, bool hideInvisible) {
    std::vector<std::size_t> shown;
    for (std::size_t child : node.children) {
        if (child >= capture.nodes.size()) continue;
        const MenuCapture::Node& entry = capture.nodes[child];
        if (hideInvisible && entry.known && !entry.visible) continue;
        shown.push_back(child);
    }
    return shown;
}

AXElementRef item(const MenuCapture& capture, std::size_t index, int depth, std::size_t& budget) {
    SnapshotElement::Values values = MenuSnapshot::itemValues(capture.nodes[index]);
    const std::vector<std::size_t> entries = MenuSnapshot::entriesOf(capture, index);
    if (!entries.empty()) {
        SnapshotElement::Values menu;
        if (depth < MenuSnapshot::itemDepthBound)
            for (std::size_t entry : entries) {
                if (budget == 0) break;
                --budget;
                menu.children.push_back(item(capture, entry, depth + 1, budget));
            }
        values.children.push_back(std::make_shared<SnapshotElement>(std::move(menu)));
    }
    return std::make_shared<SnapshotElement>(std::move(values));
}

} // namespace

bool MenuSnapshot::isMenuOf(const MenuCapture::Node& parent, const MenuCapture::Node& child) {
    return parent.role != Role::menu && child.known && child.name.empty() &&
           (child.role == Role::menu || child.role == Role::popupMenu);
}

std::vector<std::size_t> MenuSnapshot::entriesOf(const MenuCapture& capture, std::size_t index) {
    const MenuCapture::Node& node = capture.nodes[index];
    if (!node.childrenKnown) return {};
    if (node.role == Role::menu) return shownChildren(capture, node, true);
    for (std::size_t child : node.children)
        if (child < capture.nodes.size() && isMenuOf(node, capture.nodes[child]))
            return shownChildren(capture, capture.nodes[child], false);
    return shownChildren(capture, node, false);
}

SnapshotElement::Values MenuSnapshot::itemValues(const MenuCapture::Node& node) {
    SnapshotElement::Values values;
    if (node.known) {
        values.title = node.name;
        values.enabled = node.sensitive;
        if (node.keyBinding) values.keys = KeyBindingParser::parse(*node.keyBinding, node.name);
    }
    return values;
}

bool MenuSnapshot::holds(const MenuCapture& capture, const std::vector<std::size_t>& items) {
    if (capture.nodes.empty() || items.empty() || items.size() > static_cast<std::size_t>(itemDepthBound)) return false;
    auto among = [](const std::vector<std::size_t>& nodes, std::size_t node) {
        return std::find(nodes.begin(), nodes.end(), node) != nodes.end();
    };
    if (!among(shownChildren(capture, capture.nodes.front(), !hiddenAsAWhole(capture)), items.front())) return false;
    for (std::size_t i = 1; i < items.size(); ++i)
        if (!among(entriesOf(capture, items[i - 1]), items[i])) return false;
    return true;
}

bool MenuSnapshot::hiddenAsAWhole(const MenuCapture& capture) {
    if (capture.nodes.empty()) return false;
    const MenuCapture::Node& bar = capture.nodes.front();
    if (bar.known && !bar.visible) return true;
    return std::none_of(bar.children.begin(), bar.children.end(), [&capture](std::size_t child) {
        return child < capture.nodes.size() && (!capture.nodes[child].known || capture.nodes[child].visible);
    });
}

AXElementRef MenuSnapshot::menuBar(const MenuCapture& capture) {
    if (capture.nodes.empty()) return nullptr;
    SnapshotElement::Values bar;
    std::size_t budget = elementBudget;
    for (std::size_t child : shownChildren(capture, capture.nodes.front(), !hiddenAsAWhole(capture))) {
        if (budget == 0) break;
        --budget;
        bar.children.push_back(item(capture, child, 1, budget));
    }
    return std::make_shared<SnapshotElement>(std::move(bar));
}

} // namespace tavlin::platform::atspi
