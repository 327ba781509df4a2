#pragma once

#include "platform/linux/atspi/bus/AtspiDetails.h"
#include "platform/linux/atspi/bus/AtspiPeerBatch.h"
#include "platform/linux/atspi/model/MenuCapture.h"

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tavlin::platform::atspi {

// A menu capture under construction: one node per object path, in the order met.
class AtspiCaptureBuilder {
public:
    // Nodes of one menu bar, at most: children met past it are dropped.
    static constexpr std::size_t nodeCap = 5000;

    MenuCapture& capture() { return capture_; }
    MenuCapture::Node& node(std::size_t index) { return capture_.nodes[index]; }
    const std::string& path(std::size_t index) const { return paths_[index]; }
    std::size_t size() const { return capture_.nodes.size(); }
    MenuCapture take() { return std::move(capture_); }

    // The node of `path`, added when first met.
    std::size_t nodeFor(const std::string& path);
    // Fills a node with what its object told.
    void apply(std::size_t index, const AtspiDetails& details);
    // Sets a node's children, in the order given.
    void setChildren(std::size_t index, const std::vector<std::string>& children);
    // Asks for a node's children, or its key binding; the answers land in the node, and
    // `answered` runs after the answer, told or not.
    void askChildren(AtspiPeerBatch& batch, std::size_t index, std::function<void()> answered = {});
    void askKeyBinding(AtspiPeerBatch& batch, std::size_t index, std::function<void()> answered = {});

    static MenuCapture::Role menuRole(std::uint32_t role);

private:
    MenuCapture capture_;
    std::vector<std::string> paths_;
    std::unordered_map<std::string, std::size_t> indexOf_;
    bool capped_ = false;
};

} // namespace tavlin::platform::atspi
