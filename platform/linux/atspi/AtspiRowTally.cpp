#include "platform/linux/atspi/AtspiRowTally.h"

#include "platform/linux/atspi/model/MenuSnapshot.h"
#include "platform/linux/atspi/model/SnapshotElement.h"

namespace tavlin::platform::atspi {

void AtspiRowTally::add(const MenuCapture& capture, std::vector<std::size_t> items) {
    // A top-level item gives no row of its own.
    if (!budget_ || !budget_->identity || items.size() < 2) return;
    waiting_.push_back(std::move(items));
    if (rows_.size() + waiting_.size() < budget_->rows) return;
    for (const std::vector<std::size_t>& waiting : waiting_) count(capture, waiting);
    waiting_.clear();
}

void AtspiRowTally::count(const MenuCapture& capture, const std::vector<std::size_t>& items) {
    const SnapshotElement topLevel(MenuSnapshot::itemValues(capture.nodes[items.front()]));
    const SnapshotElement item(MenuSnapshot::itemValues(capture.nodes[items.back()]));
    std::optional<std::string> identity = budget_->identity(topLevel, item);
    if (identity && MenuSnapshot::holds(capture, items)) rows_.insert(std::move(*identity));
}

} // namespace tavlin::platform::atspi
