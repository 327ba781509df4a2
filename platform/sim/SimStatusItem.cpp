#include "platform/sim/SimStatusItem.h"

namespace tavlin::platform::sim {

bool SimStatusItem::setImage(const std::string& symbolName, const std::string& accessibilityDescription) {
    ++imageRequests_;
    if (!hasButton_ || !symbolsAvailable_) return false;
    image_ = ButtonImage{symbolName, accessibilityDescription};
    return true;
}

bool SimStatusItem::choose(std::string_view title) const {
    for (const MenuEntry& entry : menu_) {
        if (entry.separator || entry.title != title) continue;
        // A copy: the action may replace the menu while it runs.
        const auto action = entry.action;
        if (action) action();
        return true;
    }
    return false;
}

} // namespace tavlin::platform::sim
