#pragma once

#include <QSocketNotifier>

#include <memory>

namespace tavlin::platform {

// Ends the event loop when the desktop asks the program to end (SIGTERM, SIGHUP, SIGINT),
// so that the program leaves through the same door as "quit": QCoreApplication::quit,
// then the termination hook. The signal handler only writes to a pipe; the loop reads it.
class TerminationSignals {
public:
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tavlin::platform
