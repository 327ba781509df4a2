#pragma once

#include "platform/RowBudget.h"
#include "platform/linux/atspi/bus/AtspiPeerConnection.h"
#include "platform/linux/atspi/bus/AtspiPeerLinks.h"
#include "platform/linux/atspi/model/MenuCapture.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform::atspi {

// Reads from the accessibility bus, in bulk: the registered applications, and the menu
// bar of one application as a MenuCapture. Every read ends by its deadline and gives
// what it has by then. `registry` is a connection to the accessibility bus that reaches
// the registry (see AtspiPeerConnection::throughBus); an application met for the first
// time is asked through it too.
struct AtspiMenuReader {
    using Clock = std::chrono::steady_clock;

    struct Application {
        std::string bus;   // the application's name on the accessibility bus
        std::string path;  // its root object
        std::int32_t pid = 0;
        std::string name;  // read only when asked for
    };
    // Whether the applications themselves are asked their names.
    enum class Names { unread, read };

    // The registered applications, in the registry's order.
    static std::vector<Application> applications(AtspiPeerConnection& registry, Clock::time_point deadline, Names names);

    // The menu bar of the application's active window, else of its first window that has
    // one; absent when there is none or it can't be found by the deadline. The connection
    // to the application's objects is taken from `links`, or opened and kept there.
    // `reached` tells whether the application answered at all: a name gone from the bus
    // doesn't. Reading stops once the items read give the budget's rows; without one,
    // the whole bar is read.
    static std::optional<MenuCapture> menuBar(AtspiPeerConnection& registry, AtspiPeerLinks& links,
                                              const Application& application, Clock::time_point deadline,
                                              const std::optional<RowBudget>& budget, bool& reached);
};

} // namespace tavlin::platform::atspi
