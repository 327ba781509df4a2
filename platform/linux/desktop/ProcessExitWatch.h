#pragma once

#include <functional>
#include <memory>
#include <sys/types.h>

class QSocketNotifier;

namespace tavlin::platform {

// The end of one process, any process, seen through a pidfd watched by Qt's event loop.
// Independent of the window system: any adapter that knows a process id can use it.
class ProcessExitWatch {
public:
    // Watches `pid`; `exited` runs once, from the event loop, when the process has ended.
    // Null when the process can't be watched (gone already, or not visible from here).
    static std::unique_ptr<ProcessExitWatch> make(pid_t pid, std::function<void()> exited);
    ~ProcessExitWatch();
    ProcessExitWatch(const ProcessExitWatch&) = delete;
    ProcessExitWatch& operator=(const ProcessExitWatch&) = delete;

private:
    ProcessExitWatch(int pidfd, std::function<void()> exited);

    int pidfd_;
    std::function<void()> exited_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tavlin::platform
