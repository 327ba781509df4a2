#pragma once

#include "platform/RowBudget.h"
#include "platform/linux/atspi/model/MenuCapture.h"

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace tavlin::platform::atspi {

// The different rows the items read so far give, told apart as the budget tells them,
// so that reading can stop once there are as many as the budget's. Only an item the
// snapshot shows counts, asked as the snapshot's own elements; reading on past the rows
// costs a little time, and stopping short of them loses rows. Without a budget the tally
// is never full.
class AtspiRowTally {
public:
    explicit AtspiRowTally(std::optional<RowBudget> budget) : budget_(std::move(budget)) {}

    // Counts the row of the last of `items` of `capture`, reached from the bar through
    // them: a top-level item, then an entry of its menu, and so on down to the item.
    // The capture must outlive the tally, which may look at the item only later.
    void add(const MenuCapture& capture, std::vector<std::size_t> items);
    bool full() const { return budget_ && rows_.size() >= budget_->rows; }

private:
    void count(const MenuCapture& capture, const std::vector<std::size_t>& items);

    const std::optional<RowBudget> budget_;
    std::unordered_set<std::string> rows_;
    // Items not looked at yet: while they and the rows could not make the budget's rows,
    // telling their rows apart can wait (a small menu bar is never looked at).
    std::vector<std::vector<std::size_t>> waiting_;
};

} // namespace tavlin::platform::atspi
