#include "platform/linux/atspi/AtspiCaptureBuilder.h"

#include <glib.h>

namespace tavlin::platform::atspi {

std::size_t AtspiCaptureBuilder::nodeFor(const std::string& path) {
    if (auto it = indexOf_.find(path); it != indexOf_.end()) return it->second;
    capture_.nodes.emplace_back();
    paths_.push_back(path);
    indexOf_.emplace(path, capture_.nodes.size() - 1);
    return capture_.nodes.size() - 1;
}

void AtspiCaptureBuilder::apply(std::size_t index, const AtspiDetails& details) {
    MenuCapture::Node& node = capture_.nodes[index];
    node.known = details.known;
    node.name = details.name;
    node.role = menuRole(details.role);
    // States that couldn't be read leave the node shown and enabled.
    node.visible = !details.statesKnown || details.has(ATSPI_STATE_VISIBLE);
    node.sensitive = !details.statesKnown || details.has(ATSPI_STATE_SENSITIVE);
}

void AtspiCaptureBuilder::setChildren(std::size_t index, const std::vector<std::string>& children) {
    std::vector<std::size_t> indices;
    for (const std::string& child : children) indices.push_back(nodeFor(child));
    capture_.nodes[index].children = std::move(indices);
    capture_.nodes[index].childrenKnown = true;
}

void AtspiCaptureBuilder::askChildren(AtspiPeerBatch& batch, std::size_t index, std::function<void()> answered) {
    batch.children(paths_[index], [this, index, answered = std::move(answered)](
                                      std::optional<std::vector<std::string>> children) {
        if (children) {
            // Past the cap, only nodes met already are kept.
            std::vector<std::size_t> indices;
            for (const std::string& child : *children) {
                if (capture_.nodes.size() < nodeCap || indexOf_.count(child)) {
                    indices.push_back(nodeFor(child));
                } else if (!capped_) {
                    capped_ = true;
                    g_debug("menu bar of over %zu objects: the rest not read", nodeCap);
                }
            }
            capture_.nodes[index].children = std::move(indices);
            capture_.nodes[index].childrenKnown = true;
        }
        if (answered) answered();
    });
}

void AtspiCaptureBuilder::askKeyBinding(AtspiPeerBatch& batch, std::size_t index, std::function<void()> answered) {
    // By index: the nodes may move while the batch adds others.
    batch.keyBinding(paths_[index], [this, index, answered = std::move(answered)](std::optional<std::string> binding) {
        if (binding) capture_.nodes[index].keyBinding = std::move(*binding);
        if (answered) answered();
    });
}

MenuCapture::Role AtspiCaptureBuilder::menuRole(std::uint32_t role) {
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

} // namespace tavlin::platform::atspi
