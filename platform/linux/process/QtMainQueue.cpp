#include "platform/linux/process/QtMainQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace tavlin::platform {

QtMainQueue::QtMainQueue() {
    if (auto* app = QCoreApplication::instance()) context_.moveToThread(app->thread());
}

void QtMainQueue::after(double seconds, std::function<void()> block) {
    // Timers count whole milliseconds; round up so that a block never runs early.
    const double ms = std::isfinite(seconds) && seconds > 0 ? std::ceil(seconds * 1000.0) : 0.0;
    const auto interval = std::chrono::milliseconds(static_cast<long long>(std::min(ms, 2147483647.0)));
    QTimer::singleShot(interval, Qt::PreciseTimer, &context_, [block = std::move(block)] { block(); });
}

void QtMainQueue::async(std::function<void()> task) {
    QMetaObject::invokeMethod(&context_, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

} // namespace tavlin::platform
