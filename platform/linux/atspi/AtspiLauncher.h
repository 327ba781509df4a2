#pragma once

#include "platform/linux/atspi/bus/AtspiPeerConnection.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace tavlin::platform::atspi {

// The accessibility bus launcher on the session bus, over a libdbus connection kept for
// the permission check of every show; opened anew once closed.
//
// Whether the session's accessibility is enabled is asked once, then followed from the
// launcher's own notices of its changes, which the connection subscribes to: a show
// reads what has come in since the last one, without a call. Idle, nothing reads the
// connection; a notice waits in it until the next show. When the launcher leaves the
// bus, or a call of the launcher's may have passed over a notice, it is asked again.
class AtspiLauncher {
public:
    static constexpr std::chrono::milliseconds timeout{1000};

    // The address of the session's accessibility bus; none when the launcher can't be
    // reached or doesn't answer in time.
    std::optional<std::string> busAddress();
    // Whether the session's accessibility is enabled; false when the launcher can't say.
    bool enabled();
    // Turns on the session's accessibility; never the screen reader.
    void enable();

private:
    AtspiPeerConnection* connection();
    // Sends a call made with AtspiPeerBatch::request() and waits for its reply; null when
    // there is none in time.
    libdbus::Message call(libdbus::Message request);
    // Reads the notices come in so far.
    void readNotices();

    std::unique_ptr<AtspiPeerConnection> connection_;
    std::optional<bool> enabled_;
};

} // namespace tavlin::platform::atspi
