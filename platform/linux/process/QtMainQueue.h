#pragma once

#include "platform/MainQueue.h"

#include <QObject>

namespace tavlin::platform {

// The main queue on Qt's event loop: single-shot timers for delayed blocks, queued
// calls for tasks. Nothing runs while nothing is due, so an idle program sleeps.
class QtMainQueue final : public MainQueue {
public:
    QtMainQueue();
    void after(double seconds, std::function<void()> block) override;
    void async(std::function<void()> task) override;

private:
    QObject context_; // lives on the main thread; blocks run in its thread
};

} // namespace tavlin::platform
