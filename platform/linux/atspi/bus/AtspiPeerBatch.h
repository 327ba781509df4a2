#pragma once

#include "platform/linux/atspi/bus/AtspiDetails.h"
#include "platform/linux/atspi/bus/AtspiPeerConnection.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tavlin::platform::atspi {

// A batch of calls to one application's objects over a kept connection, sent at once
// and answered before a deadline, all on the calling thread. Each handler runs once:
// with the reply, or with null when the call failed or was still unanswered at the
// deadline. Lives for one round of calls.
class AtspiPeerBatch {
public:
    using Clock = std::chrono::steady_clock;
    using Handler = std::function<void(DBusMessage* reply)>;

    AtspiPeerBatch(AtspiPeerConnection& peer, Clock::time_point deadline);
    ~AtspiPeerBatch();
    AtspiPeerBatch(const AtspiPeerBatch&) = delete;
    AtspiPeerBatch& operator=(const AtspiPeerBatch&) = delete;

    // Sends one call, with one integer argument when `index` is given.
    void call(const std::string& path, const char* interface, const char* method, Handler handler,
              std::optional<std::int32_t> index = std::nullopt);
    // Runs the handlers as the replies come in, until every call is answered or the
    // deadline has passed; the calls then still open are given up.
    void wait();
    // Whether the deadline passed with calls still open.
    bool timedOut() const { return timedOut_; }

    // The calls a menu reader makes, answered into plain values.
    // The object's children that live on the application's bus; `done` runs only when told.
    void children(const std::string& path, std::function<void(std::vector<std::string>)> done);
    // The key binding of an item's first action; `done` runs only when told.
    void keyBinding(const std::string& path, std::function<void(std::string)> done);
    // The toolkit's cache of its objects, added to `objects`, which must outlive the wait.
    void cache(AtspiDetails::ByPath& objects);

private:
    struct Call {
        Handler handler;
        const char* method;
        std::string path;
    };
    // Runs the handler of the call a reply answers; drops anything else.
    void answer(DBusMessage* message);

    AtspiPeerConnection& peer_;
    Clock::time_point deadline_;
    std::unordered_map<dbus_uint32_t, Call> open_; // by serial
    bool timedOut_ = false;
};

} // namespace tavlin::platform::atspi
