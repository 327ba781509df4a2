#pragma once

#include "platform/MainQueue.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tavlin::platform::sim {

// The main queue on a virtual clock. Nothing runs until the test moves the clock;
// then delayed blocks and started tasks run in time order, ties in the order queued.
// Started tasks are due at the moment they are started.
class SimMainQueue : public MainQueue {
public:
    void after(double seconds, std::function<void()> block) override;
    void async(std::function<void()> task) override;

    // Seconds since the queue was made.
    double now() const { return now_; }
    // Runs everything due within the next `seconds` (also what those runs queue), then
    // leaves the clock `seconds` later.
    void advance(double seconds);
    void advanceTo(double time);
    // Runs what is due now, started tasks included.
    void runDue() { advance(0); }
    // Runs everything queued, however far ahead, moving the clock along; at most
    // `limit` blocks, so that a chain that never ends cannot hang a test.
    void drain(std::size_t limit = 10000);
    std::size_t pending() const { return entries_.size(); }

private:
    struct Entry {
        double due;
        std::uint64_t order;
        std::function<void()> block;
    };
    bool runNext(double until);

    std::vector<Entry> entries_;
    double now_ = 0;
    std::uint64_t queued_ = 0;
};

} // namespace tavlin::platform::sim
