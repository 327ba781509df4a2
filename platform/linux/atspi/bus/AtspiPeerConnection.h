#pragma once

#include "platform/linux/common/LibdbusHandle.h"

#include <memory>
#include <string>

namespace tavlin::platform::atspi {

// A connection of Tavlin's own to one application's accessible objects, kept from one
// scan to the next so that a scan doesn't open it again: straight to the application's
// own socket when it offers one, else through the accessibility bus, with the
// application's bus name as the destination of every call. Only the connection is kept;
// every scan reads the objects afresh. The registry and the accessibility launcher are
// reached through their buses the same way.
//
// Calls on it are made with libdbus, which reads a reply where it lies in the message
// and hands it over on the calling thread: a toolkit's whole cache of objects is read in
// a fraction of the time it takes to build it into a tree of values. Use it from one
// thread at a time.
class AtspiPeerConnection {
public:
    // Opens a connection to the application's own socket at `address`. Null when the
    // address can't be connected to at once; the handshake itself ends with the first
    // batch of calls, within its deadline.
    static std::unique_ptr<AtspiPeerConnection> direct(const std::string& address, const std::string& bus);
    // Opens a connection to the accessibility bus at `address`, to reach `bus` through it.
    // The bus is greeted with the first calls, not waited for.
    static std::unique_ptr<AtspiPeerConnection> throughBus(const std::string& address, const std::string& bus);

    DBusConnection* get() const { return connection_.get(); }
    // Where calls go: empty on a direct connection.
    const std::string& destination() const { return destination_; }
    // The application's name on the accessibility bus, which object references name.
    const std::string& bus() const { return bus_; }
    // Whether the connection still stands; a closed one is opened anew.
    bool connected() const;

private:
    AtspiPeerConnection(libdbus::Connection connection, std::string destination, std::string bus);
    static libdbus::Connection open(const std::string& address);

    libdbus::Connection connection_;
    std::string destination_;
    std::string bus_;
};

} // namespace tavlin::platform::atspi
