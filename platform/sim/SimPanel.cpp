#include "platform/sim/SimPanel.h"

namespace tavlin::platform::sim {

void SimPanel::setFrame(const Rect& frame, bool) { frame_ = frame; }

void SimPanel::setContent(const ShortcutOverlay& overlay) {
    content_.emplace(overlay);
    ++contentChanges_;
}

void SimPanel::makeKeyAndOrderFront() {
    visible_ = true;
    ++orderFronts_;
}

void SimPanel::loseKey() {
    if (visible_ && keyLoss_) keyLoss_();
}

void SimPanel::orderOut() {
    visible_ = false;
    ++orderOuts_;
}

} // namespace tavlin::platform::sim
