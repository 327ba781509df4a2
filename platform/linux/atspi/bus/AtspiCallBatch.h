#pragma once

#include <gio/gio.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

typedef struct DBusConnection DBusConnection;

namespace tavlin::platform::atspi {

// A batch of D-Bus method calls sent at once, without waiting for each reply in turn,
// and answered before a deadline. Each handler runs once: with the reply, or with null
// when the call failed, answered with another type than asked for, or was still
// unanswered at the deadline. Lives on one thread. A handler may send further calls in
// the same batch, which wait() then waits for too: a reader can send each call as soon
// as the answer it depends on is in, rather than round by round.
//
// Replies are dispatched in `context`, which the batch makes the thread's default while
// it lives. The context must outlive the batch and stay in use afterwards: a connection
// opened by the batch queues its own late work there (its "closed" notice), and that work
// keeps the connection alive until someone iterates the context.
//
// Given a `wire` (a libdbus connection to the same bus, or straight to the application,
// as AtspiPeerConnection keeps one), the calls go over it instead, and the batch reads
// their replies itself: libdbus costs a caller a small part of what GDBus does per call,
// which counts where an application is read call by call. The replies are handed to the
// handlers as the same GVariant values. Replies left over from an earlier batch on the
// wire are dropped.
class AtspiCallBatch {
public:
    using Clock = std::chrono::steady_clock;
    using Handler = std::function<void(GVariant* reply)>;

    AtspiCallBatch(GDBusConnection* connection, GMainContext* context, Clock::time_point deadline,
                   DBusConnection* wire = nullptr);
    ~AtspiCallBatch();
    AtspiCallBatch(const AtspiCallBatch&) = delete;
    AtspiCallBatch& operator=(const AtspiCallBatch&) = delete;

    // Sends one call; `parameters` may be null or a floating reference, which the call
    // takes; `replyType` is the reply's type string, or null for any type. An empty `bus`
    // sends to the peer of a direct connection.
    void call(const std::string& bus, const std::string& path, const char* interface, const char* method,
              GVariant* parameters, const char* replyType, Handler handler);
    // Opens a connection to `address`: to a message bus when `messageBus`, else straight
    // to the peer there. The handler owns the connection it is given, or is given null.
    void connect(const std::string& address, bool messageBus, std::function<void(GDBusConnection*)> handler);
    // Runs the handlers as the replies come in, until every call is answered or the
    // deadline has passed; the calls then still open are given up.
    void wait();
    // Whether the deadline passed with calls still open.
    bool timedOut() const { return timedOut_; }

    // Logs a failed call or connection by what it says of the peer, and frees the error:
    // at debug level what a reader meets in the normal run of things (the call timed out
    // or was cancelled, the peer answered with an error of its own, such as an object
    // gone), as a warning anything else.
    static void report(GError* error, const char* what, const std::string& where);

private:
    struct Call;
    struct Replies;
    struct Connecting;
    static GDBusMessage* filter(GDBusConnection* connection, GDBusMessage* message, gboolean incoming, gpointer data);
    static void connected(GObject* source, GAsyncResult* result, gpointer data);
    // Runs the handlers of the replies come in so far.
    void answer();
    // The same over the wire: sends one call, and waits for the replies until the deadline.
    void callOnWire(const std::string& bus, const std::string& path, const char* interface, const char* method,
                    GVariant* parameters, const char* replyType, Handler handler);
    void waitOnWire();
    // Runs the handlers of the calls still unanswered with null.
    void giveUp();

    GDBusConnection* connection_;
    Clock::time_point deadline_;
    GMainContext* context_;
    GCancellable* cancellable_;
    Replies* replies_ = nullptr; // shared with the connection's filter, made at the first call
    DBusConnection* wire_;
    std::unordered_map<std::uint32_t, Call*> onWire_; // calls sent over the wire, by serial
    guint filterId_ = 0;
    std::size_t open_ = 0;
    bool timedOut_ = false;
};

} // namespace tavlin::platform::atspi
