#pragma once

#include "TavlinUI/Overlay/ShortcutOverlay.h"
#include "platform/Panel.h"

#include <cstddef>
#include <functional>
#include <optional>

namespace tavlin::platform::sim {

// An overlay window that only records: its frame, a copy of its content (whose close
// and openSettings actions a test can call as the view would) and whether it is shown.
class SimPanel : public Panel {
public:
    explicit SimPanel(const Rect& contentRect) : contentRect_(contentRect), frame_(contentRect) {}

    void setFrame(const Rect& frame, bool display) override;
    void setContent(const ShortcutOverlay& overlay) override;
    void makeKeyAndOrderFront() override;
    bool isVisible() const override { return visible_; }
    void orderOut() override;
    void observeKeyLoss(std::function<void()> handler) override { keyLoss_ = std::move(handler); }

    // The desktop gives the keyboard to another window: tells the observer when shown.
    void loseKey();

    const Rect& contentRect() const { return contentRect_; }
    const Rect& frame() const { return frame_; }
    const std::optional<ShortcutOverlay>& content() const { return content_; }
    std::size_t contentChanges() const { return contentChanges_; }
    std::size_t orderFrontCount() const { return orderFronts_; }
    std::size_t orderOutCount() const { return orderOuts_; }

private:
    Rect contentRect_;
    Rect frame_;
    std::optional<ShortcutOverlay> content_;
    bool visible_ = false;
    std::function<void()> keyLoss_;
    std::size_t contentChanges_ = 0, orderFronts_ = 0, orderOuts_ = 0;
};

} // namespace tavlin::platform::sim
