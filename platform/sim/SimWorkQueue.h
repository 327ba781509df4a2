#pragma once

#include "platform/WorkQueue.h"
#include "platform/sim/SimMainQueue.h"

namespace tavlin::platform::sim {

// The work queue on the virtual clock of a SimMainQueue: a job's work runs when the
// job starts (as soon as the jobs before it have finished), and its completion when
// it finishes, `jobDuration` seconds later.
class SimWorkQueue : public WorkQueue {
public:
    explicit SimWorkQueue(SimMainQueue& mainQueue) : mainQueue_(mainQueue) {}

    void run(std::function<void()> work, std::function<void()> done) override;
    // As above; the job never ends early, and `wanted` is kept for the test to ask.
    void run(std::function<void()> work, std::function<void()> done, std::function<bool()> wanted) override;

    // Whether the latest job given with a check is still wanted, as the check says now.
    bool latestJobWanted() const { return !latestWanted_ || latestWanted_(); }

    // How long each job given from now on keeps the queue busy.
    void setJobDuration(double seconds) { jobDuration_ = seconds; }

private:
    SimMainQueue& mainQueue_;
    double jobDuration_ = 0;
    double busyUntil_ = 0;
    std::function<bool()> latestWanted_;
};

} // namespace tavlin::platform::sim
