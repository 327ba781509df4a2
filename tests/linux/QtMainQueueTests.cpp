#include "platform/linux/process/QtMainQueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <limits>
#include <vector>

using tavlin::platform::QtMainQueue;

namespace {
void spin(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
} // namespace

TEST(QtMainQueue, TasksNeverRunInlineAndKeepTheirOrder) {
    QtMainQueue queue;
    std::vector<int> ran;
    queue.async([&ran] { ran.push_back(1); });
    queue.async([&ran] { ran.push_back(2); });
    EXPECT_TRUE(ran.empty());
    spin(20);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST(QtMainQueue, DelayedBlocksRunAfterTheirDelayInDueOrder) {
    QtMainQueue queue;
    std::vector<int> ran;
    QElapsedTimer clock;
    clock.start();
    qint64 earlyAt = 0, lateAt = 0;
    queue.after(0.12, [&] { ran.push_back(2); lateAt = clock.elapsed(); });
    queue.after(0.05, [&] { ran.push_back(1); earlyAt = clock.elapsed(); });
    // Waits for both, however long a loaded machine takes; each ran no earlier than asked.
    while (ran.size() < 2 && clock.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_GE(earlyAt, 50);
    EXPECT_GE(lateAt, 120);
}

TEST(QtMainQueue, DelaysOutOfRangeRunSoon) {
    QtMainQueue queue;
    int ran = 0;
    queue.after(-1, [&ran] { ++ran; });
    queue.after(std::numeric_limits<double>::quiet_NaN(), [&ran] { ++ran; });
    queue.after(1e300, [] { FAIL() << "an enormous delay ran"; });
    spin(30);
    EXPECT_EQ(ran, 2);
}
