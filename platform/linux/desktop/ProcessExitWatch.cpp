#include "platform/linux/desktop/ProcessExitWatch.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <sys/syscall.h>
#include <unistd.h>

namespace tavlin::platform {
namespace {

Q_LOGGING_CATEGORY(lcProcess, "tavlin.process")

} // namespace

std::unique_ptr<ProcessExitWatch> ProcessExitWatch::make(pid_t pid, std::function<void()> exited) {
    if (pid <= 0) return nullptr;
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0) {
        qCInfo(lcProcess, "can't watch process %d: %s", int(pid), std::strerror(errno));
        return nullptr;
    }
    return std::unique_ptr<ProcessExitWatch>(new ProcessExitWatch(pidfd, std::move(exited)));
}

ProcessExitWatch::ProcessExitWatch(int pidfd, std::function<void()> exited)
    : pidfd_(pidfd), exited_(std::move(exited)),
      notifier_(std::make_unique<QSocketNotifier>(pidfd, QSocketNotifier::Read)) {
    // A pidfd turns readable when its process ends.
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        notifier_->setEnabled(false);
        // Run from the event loop, apart from this watch, which the handler may replace.
        if (auto exited = std::exchange(exited_, nullptr))
            QTimer::singleShot(0, QCoreApplication::instance(), std::move(exited));
    });
}

ProcessExitWatch::~ProcessExitWatch() {
    notifier_.reset();
    close(pidfd_);
}

} // namespace tavlin::platform
