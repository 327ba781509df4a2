#pragma once

#include <functional>

namespace tavlin::platform {

// Work that may wait on other programs, kept off the main thread: jobs run one at a
// time, in the order given, and each job's completion then runs on the main thread.
class WorkQueue {
public:
    virtual ~WorkQueue() = default;
    // Runs `work` away from the main thread, then `done` on the main thread. Jobs still
    // queued when the queue ends are dropped, with their completions.
    virtual void run(std::function<void()> work, std::function<void()> done) = 0;
};

} // namespace tavlin::platform
