#pragma once

#include <functional>
#include <utility>

namespace tavlin::platform {

// Work that may wait on other programs, kept off the main thread: jobs run one at a
// time, in the order given, and each job's completion then runs on the main thread.
class WorkQueue {
public:
    virtual ~WorkQueue() = default;
    // Runs `work` away from the main thread, then `done` on the main thread. Jobs still
    // queued when the queue ends are dropped, with their completions.
    virtual void run(std::function<void()> work, std::function<void()> done) = 0;
    // The same for work that may end early once `wanted` turns false (its result is no
    // longer wanted): the work may ask the queue, at its own pace, whether to go on.
    virtual void run(std::function<void()> work, std::function<void()> done, std::function<bool()> wanted) {
        (void)wanted;
        run(std::move(work), std::move(done));
    }
};

} // namespace tavlin::platform
