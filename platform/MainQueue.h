#pragma once

#include <functional>

namespace tavlin::platform {

// The main thread's queue.
class MainQueue {
public:
    virtual ~MainQueue() = default;
    // Runs the block on the main thread `seconds` from now.
    virtual void after(double seconds, std::function<void()> block) = 0;
    // Starts a task on the main thread; never runs it inline.
    virtual void async(std::function<void()> task) = 0;
};

} // namespace tavlin::platform
