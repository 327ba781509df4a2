#include "platform/linux/ProcessExitWatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using tavlin::platform::ProcessExitWatch;

namespace {

// Runs the event loop for `ms` milliseconds.
void spin(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

pid_t startSleeper() {
    const pid_t child = fork();
    if (child == 0) {
        pause();
        _exit(0);
    }
    return child;
}

} // namespace

TEST(ProcessExitWatch, ReportsTheEndOnceAndOnlyWhileWatched) {
    const pid_t watched = startSleeper(), unwatched = startSleeper();
    int ends = 0, endsOfUnwatched = 0;
    auto watch = ProcessExitWatch::make(watched, [&ends] { ++ends; });
    ASSERT_TRUE(watch);
    auto dropped = ProcessExitWatch::make(unwatched, [&endsOfUnwatched] { ++endsOfUnwatched; });
    ASSERT_TRUE(dropped);
    spin(100);
    EXPECT_EQ(ends, 0); // still running

    dropped.reset(); // a watch let go of says nothing
    kill(watched, SIGKILL);
    kill(unwatched, SIGKILL);
    spin(300);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(endsOfUnwatched, 0);
    waitpid(watched, nullptr, 0);
    waitpid(unwatched, nullptr, 0);

    // A process that is gone already can't be watched.
    EXPECT_FALSE(ProcessExitWatch::make(watched, [] {}));
    EXPECT_FALSE(ProcessExitWatch::make(0, [] {}));
}
