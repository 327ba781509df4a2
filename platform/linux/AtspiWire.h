#pragma once

#include <gio/gio.h>

#include <chrono>

typedef struct DBusConnection DBusConnection;

namespace tavlin::platform::atspi {

// A private libdbus connection to the message bus that a GDBus connection is connected
// to, for the calls of applications read call by call (see AtspiCallBatch). It is opened
// at the first such read and then kept with the GDBus connection, and closed with it: a
// connection opened and closed for every scan would make the registry tell every
// accessible application that a listener left, and each of them ask it again. Kept, it
// holds no menu content and costs nothing while idle: it has no match rules, so the bus
// sends it nothing but replies, and nothing watches it between reads. Replies that come
// after their read gave up on them are dropped by the next read. Only a bus reached
// through a local socket is followed. Used from one reading thread.
class AtspiWire {
public:
    using Clock = std::chrono::steady_clock;

    // The wire kept with `bus`, opened (saying hello to the bus by the deadline) when
    // there is none yet or the bus closed it; null when it can't be opened, and the
    // caller goes on through GDBus.
    static DBusConnection* of(GDBusConnection* bus, Clock::time_point deadline);

    ~AtspiWire();
    AtspiWire(const AtspiWire&) = delete;
    AtspiWire& operator=(const AtspiWire&) = delete;

private:
    explicit AtspiWire(DBusConnection* connection) : connection_(connection) {}
    static DBusConnection* open(GDBusConnection* bus, Clock::time_point deadline);

    DBusConnection* connection_;
};

} // namespace tavlin::platform::atspi
