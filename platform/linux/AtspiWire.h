#pragma once

#include <gio/gio.h>

#include <chrono>

typedef struct DBusConnection DBusConnection;

namespace tavlin::platform::atspi {

// A private libdbus connection to the message bus that a GDBus connection is connected
// to, for one scan's calls of an application read call by call (see AtspiCallBatch). It
// is opened only when such a read begins, so nothing of it is kept between scans, and
// closed when it ends. Only a bus reached through a local socket is followed.
class AtspiWire {
public:
    // Opens the connection and says hello to the bus, by the deadline; get() is null when
    // that failed, and the caller goes on through GDBus.
    AtspiWire(GDBusConnection* bus, std::chrono::steady_clock::time_point deadline);
    ~AtspiWire();
    AtspiWire(const AtspiWire&) = delete;
    AtspiWire& operator=(const AtspiWire&) = delete;

    DBusConnection* get() const { return connection_; }

private:
    DBusConnection* connection_ = nullptr;
};

} // namespace tavlin::platform::atspi
