#include "platform/linux/atspi/AtspiRowTally.h"

#include "platform/linux/atspi/model/MenuSnapshot.h"
#include "platform/linux/atspi/model/SnapshotElement.h"

namespace tavlin::platform::atspi {

void AtspiRowTally::add(const MenuCapture& capture, const std::vector<std::size_t>& items) {
    // A top-level item gives no row of its own.
    if (!budget_ || !budget_->identity || items.size() < 2 || !MenuSnapshot::holds(capture, items)) return;
    const SnapshotElement topLevel(MenuSnapshot::itemValues(capture.nodes[items.front()]));
    const SnapshotElement item(MenuSnapshot::itemValues(capture.nodes[items.back()]));
    if (std::optional<std::string> identity = budget_->identity(topLevel, item)) rows_.insert(std::move(*identity));
}

} // namespace tavlin::platform::atspi
