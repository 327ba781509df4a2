#pragma once

#include "platform/MainQueue.h"
#include "platform/WorkQueue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace tavlin::platform {

// The work queue on one thread of its own; completions go to the main queue. Ending
// the queue drops the jobs not started and waits for the one running, whose completion
// is dropped too. A job given with a `wanted` check can ask jobWanted() while it runs.
class ThreadWorkQueue final : public WorkQueue {
public:
    explicit ThreadWorkQueue(MainQueue& mainQueue);
    ~ThreadWorkQueue() override;
    ThreadWorkQueue(const ThreadWorkQueue&) = delete;
    ThreadWorkQueue& operator=(const ThreadWorkQueue&) = delete;

    void run(std::function<void()> work, std::function<void()> done) override;
    void run(std::function<void()> work, std::function<void()> done, std::function<bool()> wanted) override;

    // On the queue's thread: whether the job running there is still wanted; true
    // anywhere else, and for a job given without a check.
    static bool jobWanted();

private:
    struct Job {
        std::function<void()> work, done;
        std::function<bool()> wanted;
    };
    void loop();

    MainQueue& mainQueue_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool ending_ = false;
    std::thread thread_; // last: starts once the members above exist
};

} // namespace tavlin::platform
