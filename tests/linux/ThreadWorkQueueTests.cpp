#include "platform/linux/process/QtMainQueue.h"
#include "platform/linux/process/ThreadWorkQueue.h"

#include "SpinUntil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using tavlin::platform::QtMainQueue;
using tavlin::platform::ThreadWorkQueue;

TEST(ThreadWorkQueue, JobsRunInOrderOffTheMainThreadAndCompleteOnIt) {
    QtMainQueue main;
    ThreadWorkQueue queue(main);
    const auto mainThread = std::this_thread::get_id();
    std::atomic<bool> release{false};
    std::vector<int> worked, completed;
    bool workedOffMain = true, completedOnMain = true;
    for (int job = 1; job <= 3; ++job)
        queue.run(
            [&, job] {
                // The first job waits until the main thread has moved on: run() never waits for work.
                while (job == 1 && !release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                workedOffMain = workedOffMain && std::this_thread::get_id() != mainThread;
                worked.push_back(job);
            },
            [&, job] {
                completedOnMain = completedOnMain && std::this_thread::get_id() == mainThread;
                completed.push_back(job);
            });
    release = true;
    ASSERT_TRUE(spinUntil([&] { return completed.size() == 3; }));
    EXPECT_EQ(worked, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(completed, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(workedOffMain);
    EXPECT_TRUE(completedOnMain);
}

TEST(ThreadWorkQueue, EndingWaitsForTheRunningJobAndDropsTheRest) {
    QtMainQueue main;
    std::atomic<bool> started{false};
    std::atomic<int> worked{0};
    int completed = 0;
    {
        ThreadWorkQueue queue(main);
        queue.run(
            [&] {
                started = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                ++worked;
            },
            [&] { ++completed; });
        queue.run([&] { ++worked; }, [&] { ++completed; });
        while (!started) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(worked, 1); // the running job finished before the queue ended
    // Whatever the ended queue had handed the main queue has had its turn by then.
    bool flushed = false;
    main.async([&flushed] { flushed = true; });
    ASSERT_TRUE(spinUntil([&flushed] { return flushed; }));
    EXPECT_EQ(completed, 0);
}

// A running job asks whether it is still wanted, as its own check says at that moment;
// a job without a check, and any other thread, is always wanted.
TEST(ThreadWorkQueue, ARunningJobCanAskWhetherItIsStillWanted) {
    QtMainQueue main;
    ThreadWorkQueue queue(main);
    std::atomic<bool> wanted{true}, dropped{false};
    std::atomic<int> finished{0};
    bool sawWanted = false, sawDropped = false, plainWanted = false;
    queue.run(
        [&] {
            sawWanted = ThreadWorkQueue::jobWanted();
            dropped = true;
            while (wanted) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            sawDropped = !ThreadWorkQueue::jobWanted();
        },
        [&] { ++finished; }, [&] { return wanted.load(); });
    queue.run([&] { plainWanted = ThreadWorkQueue::jobWanted(); }, [&] { ++finished; });
    ASSERT_TRUE(spinUntil([&] { return dropped.load(); }));
    EXPECT_TRUE(ThreadWorkQueue::jobWanted()); // the main thread runs no job
    wanted = false;
    ASSERT_TRUE(spinUntil([&] { return finished == 2; }));
    EXPECT_TRUE(sawWanted);
    EXPECT_TRUE(sawDropped);
    EXPECT_TRUE(plainWanted);
}
