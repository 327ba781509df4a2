#include "platform/linux/ThreadWorkQueue.h"

#include "platform/linux/ShowTiming.h"

namespace tavlin::platform {

ThreadWorkQueue::ThreadWorkQueue(MainQueue& mainQueue) : mainQueue_(mainQueue), thread_([this] { loop(); }) {}

ThreadWorkQueue::~ThreadWorkQueue() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
        jobs_.clear();
    }
    wake_.notify_one();
    thread_.join();
}

void ThreadWorkQueue::run(std::function<void()> work, std::function<void()> done) {
    {
        std::lock_guard lock(mutex_);
        jobs_.emplace_back(std::move(work), std::move(done));
    }
    wake_.notify_one();
}

void ThreadWorkQueue::loop() {
    for (;;) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
        if (ending_) return;
        auto [work, done] = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        ShowTiming::mark("job started");
        if (work) work();
        ShowTiming::mark("job done");
        lock.lock();
        if (ending_) return;
        // Queued while the queue still lives; the main queue runs it later, on its thread.
        if (done) mainQueue_.async(std::move(done));
    }
}

} // namespace tavlin::platform
