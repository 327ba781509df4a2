#pragma once

#include "platform/linux/atspi/bus/AtspiDetails.h"
#include "platform/linux/atspi/bus/AtspiPeerConnection.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tavlin::platform::atspi {

// A batch of D-Bus calls over one libdbus connection, sent at once without waiting for
// each reply in turn, and answered before a deadline, all on the calling thread. Each
// handler runs once: with the reply, or with null when the call failed, was answered
// with an error, or was still unanswered at the deadline. A handler may send further
// calls in the same batch, which wait() then waits for too: a reader sends each call as
// soon as the answer it depends on is in, rather than round by round.
//
// Replies are told apart by serial; anything else read meanwhile (a late reply to an
// earlier batch, a signal) is dropped. Lives for one round of calls.
class AtspiPeerBatch {
public:
    using Clock = std::chrono::steady_clock;
    using Handler = std::function<void(DBusMessage* reply)>;
    // Runs once, with the value the reply told, or with nothing.
    template <class T> using Answer = std::function<void(std::optional<T>)>;

    AtspiPeerBatch(AtspiPeerConnection& peer, Clock::time_point deadline);
    // The calls still open are given up: their handlers run with null.
    ~AtspiPeerBatch();
    AtspiPeerBatch(const AtspiPeerBatch&) = delete;
    AtspiPeerBatch& operator=(const AtspiPeerBatch&) = delete;

    // A method call to the object `path` of `destination` (none on a direct connection);
    // null when either is no valid name.
    static libdbus::Message request(const std::string& destination, const std::string& path, const char* interface,
                                    const char* method);
    // The same asking for an object's name.
    static libdbus::Message nameRequest(const std::string& destination, const std::string& path);

    // Sends a call made with request(), with its arguments appended.
    void send(libdbus::Message call, Handler handler);
    // Sends a call to the peer's object `path`, with one integer argument when `index`
    // is given.
    void call(const std::string& path, const char* interface, const char* method, Handler handler,
              std::optional<std::int32_t> index = std::nullopt);
    // Runs the handlers as the replies come in, until every call is answered or the
    // deadline has passed; the calls then still open are given up.
    void wait();
    // Whether the deadline passed with calls still open.
    bool timedOut() const { return timedOut_; }

    // The calls a menu reader makes of the peer's objects, answered as plain values.
    // The object's children that live on the application's bus.
    void children(const std::string& path, Answer<std::vector<std::string>> done);
    void role(const std::string& path, Answer<std::uint32_t> done);
    void states(const std::string& path, Answer<std::uint64_t> done);
    // Never through Properties.GetAll, which would spare calls: Qt 5 takes a second
    // argument of every Properties call, and an application asked GetAll crashes.
    void name(const std::string& path, Answer<std::string> done);
    // The key binding of an item's first action.
    void keyBinding(const std::string& path, Answer<std::string> done);
    // The toolkit's cache of its objects, added to `objects`, which must outlive the wait.
    void cache(AtspiDetails::ByPath& objects);

private:
    struct Call {
        Handler handler;
        libdbus::Message sent; // kept to say what it was, should it fail
    };
    // The method of a call sent and where it went, for the log.
    static std::string what(DBusMessage* call);
    // Runs the handler of the call a reply answers; drops anything else.
    void answer(DBusMessage* message);
    // Runs the handlers of the calls still open with null; later calls fail at once.
    void giveUp();

    AtspiPeerConnection& peer_;
    Clock::time_point deadline_;
    std::unordered_map<dbus_uint32_t, Call> open_; // by serial
    bool givenUp_ = false;
    bool timedOut_ = false;
};

} // namespace tavlin::platform::atspi
