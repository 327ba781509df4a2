#include "platform/sim/SimMainQueue.h"

#include <algorithm>

namespace tavlin::platform::sim {

namespace {
// Delays add up in floating point (0.35 + 0.25 + ...); a block due within this much
// of the clock counts as due.
constexpr double tolerance = 1e-9;
} // namespace

void SimMainQueue::after(double seconds, std::function<void()> block) {
    entries_.push_back({now_ + std::max(seconds, 0.0), queued_++, std::move(block)});
}

void SimMainQueue::async(std::function<void()> task) {
    entries_.push_back({now_, queued_++, std::move(task)});
}

bool SimMainQueue::runNext(double until) {
    auto next = std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.due < b.due || (a.due == b.due && a.order < b.order);
    });
    if (next == entries_.end() || next->due > until + tolerance) return false;
    std::function<void()> block = std::move(next->block);
    now_ = std::max(now_, next->due);
    entries_.erase(next);
    if (block) block();
    return true;
}

void SimMainQueue::advance(double seconds) { advanceTo(now_ + std::max(seconds, 0.0)); }

void SimMainQueue::advanceTo(double time) {
    while (runNext(time)) {
    }
    now_ = std::max(now_, time);
}

void SimMainQueue::drain(std::size_t limit) {
    for (std::size_t n = 0; n < limit && !entries_.empty(); ++n) {
        auto next = std::min_element(entries_.begin(), entries_.end(),
                                     [](const Entry& a, const Entry& b) { return a.due < b.due; });
        runNext(next->due);
    }
}

} // namespace tavlin::platform::sim
