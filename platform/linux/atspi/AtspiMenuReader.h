#pragma once

#include "platform/linux/atspi/bus/AtspiPeerLinks.h"
#include "platform/linux/atspi/model/MenuCapture.h"

#include <gio/gio.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform::atspi {

// Reads from the accessibility bus, in bulk: the registered applications, and the menu
// bar of one application as a MenuCapture. Every read ends by its deadline and gives
// what it has by then. Replies are dispatched in `context` (see AtspiCallBatch): one
// long-lived context per reading thread.
struct AtspiMenuReader {
    using Clock = std::chrono::steady_clock;

    struct Application {
        std::string bus;   // the application's name on the accessibility bus
        std::string path;  // its root object
        std::int32_t pid = 0;
        std::string name;  // read only when asked for
    };

    // The registered applications, in the registry's order. The applications themselves
    // are asked nothing unless `withNames`.
    static std::vector<Application> applications(GDBusConnection* bus, GMainContext* context, Clock::time_point deadline,
                                                 bool withNames);

    // The menu bar of the application's active window, else of its first window that has
    // one; absent when there is none or it can't be found by the deadline. The connection
    // to the application's objects is taken from `links`, or opened and kept there.
    // `reached` tells whether the application answered at all: a name gone from the bus
    // doesn't.
    static std::optional<MenuCapture> menuBar(GDBusConnection* bus, GMainContext* context, AtspiPeerLinks& links,
                                              const Application& application, Clock::time_point deadline,
                                              bool& reached);
};

} // namespace tavlin::platform::atspi
