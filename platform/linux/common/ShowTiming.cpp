#include "platform/ShowTiming.h"

#include <QLoggingCategory>

#include <ctime>

namespace tavlin::platform {
namespace {
Q_LOGGING_CATEGORY(lcTiming, "tavlin.timing", QtWarningMsg)
}

bool ShowTiming::enabled() { return lcTiming().isDebugEnabled(); }

void ShowTiming::mark(const char* phase) {
    if (!lcTiming().isDebugEnabled()) return;
    // The monotonic clock, so that marks made on any thread, or in another process, compare.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    qCDebug(lcTiming, "%s %.3f", phase, static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6);
}

} // namespace tavlin::platform
