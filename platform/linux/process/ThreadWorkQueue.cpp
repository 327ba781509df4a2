#include "platform/linux/process/ThreadWorkQueue.h"

#include "platform/ShowTiming.h"

namespace tavlin::platform {
namespace {

thread_local const std::function<bool()>* runningJobWanted = nullptr;

} // namespace

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
    run(std::move(work), std::move(done), nullptr);
}

void ThreadWorkQueue::run(std::function<void()> work, std::function<void()> done, std::function<bool()> wanted) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(Job{std::move(work), std::move(done), std::move(wanted)});
    }
    wake_.notify_one();
}

bool ThreadWorkQueue::jobWanted() {
    return !runningJobWanted || !*runningJobWanted || (*runningJobWanted)();
}

void ThreadWorkQueue::loop() {
    for (;;) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return ending_ || !jobs_.empty(); });
        if (ending_) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        ShowTiming::mark("job started");
        runningJobWanted = &job.wanted;
        if (job.work) job.work();
        runningJobWanted = nullptr;
        ShowTiming::mark("job done");
        lock.lock();
        if (ending_) return;
        // Queued while the queue still lives; the main queue runs it later, on its thread.
        if (job.done) mainQueue_.async(std::move(job.done));
    }
}

} // namespace tavlin::platform
