#pragma once

#include "platform/linux/atspi/bus/AtspiCallBatch.h"
#include "platform/linux/atspi/bus/AtspiDetails.h"

#include <functional>
#include <string>
#include <vector>

namespace tavlin::platform::atspi {

// The calls the menu reader makes of an application's objects, each sent in a batch and
// answered into plain values when the batch runs.
struct AtspiCalls {
    // Where an application's objects are reached: through the bus, or through a direct
    // connection to the application (`destination` empty). Object references in replies
    // name the application's bus name either way. Calls through the bus go over `wire`
    // when there is one (see AtspiCallBatch).
    struct Peer {
        GDBusConnection* connection;
        GMainContext* context;
        std::string destination;
        std::string bus;
        DBusConnection* wire = nullptr;
    };

    // Each call below may be given `answered`, which runs once after all of its own D-Bus
    // calls are answered, told or not: what a reader waits on before it reads further.

    // The children of the object at `path` that live on the application's bus; `done`
    // runs only when they were told.
    static void children(AtspiCallBatch& batch, const Peer& peer, const std::string& path,
                         std::function<void(std::vector<std::string>)> done, std::function<void()> answered = {});
    // An object's name and, when wanted, its role and states; `details` must outlive the
    // batch's wait. Never through Properties.GetAll, which would spare calls: Qt 5 takes
    // a second argument of every Properties call, and an application asked GetAll
    // crashes.
    static void details(AtspiCallBatch& batch, const std::string& destination, const std::string& path,
                        AtspiDetails& details, bool withRole = true, bool withStates = true,
                        std::function<void()> answered = {});
    // An object's role alone.
    static void role(AtspiCallBatch& batch, const Peer& peer, const std::string& path, std::uint32_t& role);
    // An object's states alone, left as they are when not told.
    static void states(AtspiCallBatch& batch, const Peer& peer, const std::string& path, std::uint64_t& states);
    // The same into `details`, which must outlive the batch's wait.
    static void states(AtspiCallBatch& batch, const Peer& peer, const std::string& path, AtspiDetails& details,
                       std::function<void()> answered);
    // The key binding of an item's first action; `done` runs only when it was told.
    static void keyBinding(AtspiCallBatch& batch, const Peer& peer, const std::string& path,
                           std::function<void(std::string)> done, std::function<void()> answered = {});
};

} // namespace tavlin::platform::atspi
