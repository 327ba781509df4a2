#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

// Runs the main thread's event loop until `done` holds, or until a time that only a broken
// program reaches, however loaded the machine; whether `done` holds at the end.
template <class Done> bool spinUntil(Done done, int milliseconds = 30000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}
