#pragma once

namespace tavlin::platform {

// The moments of a show, for profiling: each adapter on a show's path marks the phase it
// reaches (the press taken, the scan begun and ended, the view built, the window mapped,
// the first paint done) with the time on the monotonic clock in milliseconds. Off unless
// the logging category "tavlin.timing" is on, e.g.
//   QT_LOGGING_RULES="tavlin.timing.debug=true" tavlin
// Consecutive lines of one show subtract to the time each phase took.
struct ShowTiming {
    static bool enabled();
    static void mark(const char* phase);
};

} // namespace tavlin::platform
