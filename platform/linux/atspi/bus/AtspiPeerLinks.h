#pragma once

#include "platform/linux/atspi/bus/AtspiPeerConnection.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>

namespace tavlin::platform::atspi {

// What is kept from one scan to the next, so that a scan of an application shown before
// starts with its first call to the application: where the application of a process is
// found on the accessibility bus, and the connection to its objects. Never what its
// objects are or say. A closed connection, or a name gone from the bus, is dropped at
// the next scan, which then finds its way as the first one did. Idle, nothing here
// wakes up: no connection is read between scans.
//
// Holds the last few applications shown; use it from one thread at a time.
class AtspiPeerLinks {
public:
    static constexpr std::size_t kept = 4;

    struct Application {
        std::int32_t pid = 0;
        std::string bus;  // the application's name on the accessibility bus
        std::string path; // its root object
    };

    // Where the accessibility bus is, for connections through it.
    void setBusAddress(std::string address) { busAddress_ = std::move(address); }

    // The application last found for a process, if any.
    std::optional<Application> application(std::int32_t pid) const;
    void remember(const Application& application);
    // Forgets the process's application and closes its connection.
    void forget(std::int32_t pid);

    // The open connection to the objects of the application at `bus`, if one is kept.
    AtspiPeerConnection* connection(const std::string& bus);
    // Opens and keeps a connection to the application at `bus`: straight to its socket at
    // `address` when that is a local socket and can be connected to, else through the bus.
    AtspiPeerConnection* open(const std::string& bus, const std::string& address);

private:
    struct Entry {
        Application application;
        std::unique_ptr<AtspiPeerConnection> connection;
    };
    std::list<Entry>::iterator find(const std::string& bus);

    std::string busAddress_;
    std::list<Entry> entries_; // the most recent first
};

} // namespace tavlin::platform::atspi
