#include "platform/linux/process/QtMainQueue.h"

#include "SpinUntil.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using tavlin::platform::QtMainQueue;

TEST(QtMainQueue, TasksNeverRunInlineAndDelayedBlocksRunInDueOrder) {
    QtMainQueue queue;
    std::vector<int> ran;
    queue.after(0.12, [&ran] { ran.push_back(4); });
    queue.after(0.05, [&ran] { ran.push_back(3); });
    queue.async([&ran] { ran.push_back(1); });
    queue.async([&ran] { ran.push_back(2); });
    EXPECT_TRUE(ran.empty());
    ASSERT_TRUE(spinUntil([&ran] { return ran.size() == 4; }));
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4}));
}

// Delays out of range run soon; an enormous one runs neither at once nor soon.
TEST(QtMainQueue, DelaysOutOfRangeRunSoon) {
    QtMainQueue queue;
    int ran = 0;
    bool later = false;
    queue.after(1e300, [] { FAIL() << "an enormous delay ran"; });
    queue.after(-1, [&ran] { ++ran; });
    queue.after(std::numeric_limits<double>::quiet_NaN(), [&ran] { ++ran; });
    queue.after(0.05, [&later] { later = true; });
    ASSERT_TRUE(spinUntil([&later] { return later; }));
    EXPECT_EQ(ran, 2);
}
