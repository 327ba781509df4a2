#pragma once

#include <dbus/dbus.h>

#include <memory>

namespace tavlin::platform::libdbus {

// Owning handles of libdbus objects, released by their unref function.
struct MessageRelease {
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using Message = std::unique_ptr<DBusMessage, MessageRelease>;

struct PendingRelease {
    void operator()(DBusPendingCall* pending) const { dbus_pending_call_unref(pending); }
};
using Pending = std::unique_ptr<DBusPendingCall, PendingRelease>;

// A private connection is closed before its last reference goes, as libdbus requires.
struct ConnectionRelease {
    void operator()(DBusConnection* connection) const {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
    }
};
using Connection = std::unique_ptr<DBusConnection, ConnectionRelease>;

} // namespace tavlin::platform::libdbus
