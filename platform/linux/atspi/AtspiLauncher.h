#pragma once

#include "platform/linux/atspi/bus/AtspiPeerConnection.h"
#include "platform/linux/common/GLibHandle.h"

#include <chrono>
#include <memory>
#include <optional>

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

    // Calls the launcher; null when it can't be reached or doesn't answer in time.
    glib::Variant call(GMainContext* context, const char* interface, const char* method, GVariant* parameters,
                       const char* replyType);
    // Whether the session's accessibility is enabled; false when the launcher can't say.
    bool enabled(GMainContext* context);

private:
    AtspiPeerConnection* connection();
    // Reads the notices come in so far.
    void readNotices();

    std::unique_ptr<AtspiPeerConnection> connection_;
    std::optional<bool> enabled_;
};

} // namespace tavlin::platform::atspi
