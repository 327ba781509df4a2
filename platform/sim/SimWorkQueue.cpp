#include "platform/sim/SimWorkQueue.h"

#include <algorithm>

namespace tavlin::platform::sim {

void SimWorkQueue::run(std::function<void()> work, std::function<void()> done) {
    const double now = mainQueue_.now();
    const double start = std::max(now, busyUntil_);
    busyUntil_ = start + std::max(jobDuration_, 0.0);
    mainQueue_.after(start - now, std::move(work));
    mainQueue_.after(busyUntil_ - now, std::move(done));
}

void SimWorkQueue::run(std::function<void()> work, std::function<void()> done, std::function<bool()> wanted) {
    latestWanted_ = std::move(wanted);
    run(std::move(work), std::move(done));
}

} // namespace tavlin::platform::sim
