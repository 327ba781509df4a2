#include "platform/linux/atspi/bus/AtspiPeerBatch.h"

#include "platform/linux/atspi/bus/AtspiAbandon.h"
#include "platform/linux/atspi/bus/AtspiReplies.h"

#include <glib.h>

#include <algorithm>

namespace tavlin::platform::atspi {
namespace {

constexpr const char* accessibleInterface = "org.a11y.atspi.Accessible";

// A handler that answers `done` with what `read` makes of the reply.
template <class T, class Read> AtspiPeerBatch::Handler answering(AtspiPeerBatch::Answer<T> done, Read read) {
    return [done = std::move(done), read](DBusMessage* reply) { done(reply ? read(reply) : std::nullopt); };
}

} // namespace

AtspiPeerBatch::AtspiPeerBatch(AtspiPeerConnection& peer, Clock::time_point deadline) : peer_(peer), deadline_(deadline) {}

// Replies that come after the batch are dropped by the next one on the connection.
AtspiPeerBatch::~AtspiPeerBatch() {
    if (!open_.empty()) g_debug("%zu calls given up unanswered", open_.size());
    giveUp();
}

libdbus::Message AtspiPeerBatch::request(const std::string& destination, const std::string& path,
                                         const char* interface, const char* method) {
    // Names and paths come from other programs' replies: libdbus would refuse them
    // loudly, so they are checked first.
    if (!dbus_validate_path(path.c_str(), nullptr) ||
        (!destination.empty() && !dbus_validate_bus_name(destination.c_str(), nullptr)))
        return nullptr;
    libdbus::Message message(
        dbus_message_new_method_call(destination.empty() ? nullptr : destination.c_str(), path.c_str(), interface, method));
    if (message) dbus_message_set_auto_start(message.get(), FALSE);
    return message;
}

void AtspiPeerBatch::send(libdbus::Message call, Handler handler) {
    if (!call || givenUp_ || Clock::now() >= deadline_ || AtspiAbandon::requested()) {
        handler(nullptr);
        return;
    }
    // Sent without a pending call of libdbus's own: the replies are told apart by serial.
    dbus_uint32_t serial = 0;
    if (!dbus_connection_send(peer_.get(), call.get(), &serial) || serial == 0) {
        g_debug("%s: not sent", what(call.get()).c_str());
        handler(nullptr);
        return;
    }
    open_.emplace(serial, Call{std::move(handler), std::move(call)});
}

std::string AtspiPeerBatch::what(DBusMessage* call) {
    const char* destination = dbus_message_get_destination(call);
    return std::string(dbus_message_get_member(call)) + " " + (destination ? destination : "peer") + " " +
           dbus_message_get_path(call);
}

void AtspiPeerBatch::call(const std::string& path, const char* interface, const char* method, Handler handler,
                          std::optional<std::int32_t> index) {
    libdbus::Message message = request(peer_.destination(), path, interface, method);
    if (message && index) {
        const dbus_int32_t value = *index;
        dbus_message_append_args(message.get(), DBUS_TYPE_INT32, &value, DBUS_TYPE_INVALID);
    }
    send(std::move(message), std::move(handler));
}

void AtspiPeerBatch::answer(DBusMessage* message) {
    const libdbus::Message held(message);
    const int type = dbus_message_get_type(message);
    if (type != DBUS_MESSAGE_TYPE_METHOD_RETURN && type != DBUS_MESSAGE_TYPE_ERROR) return;
    const auto it = open_.find(dbus_message_get_reply_serial(message));
    if (it == open_.end()) return; // a late reply to an earlier batch
    Call call = std::move(it->second);
    open_.erase(it);
    if (type == DBUS_MESSAGE_TYPE_ERROR) {
        // An object gone, a method the toolkit lacks: met in the normal run of things.
        g_debug("%s: %s", what(call.sent.get()).c_str(), dbus_message_get_error_name(message));
        call.handler(nullptr);
        return;
    }
    call.handler(message);
}

void AtspiPeerBatch::giveUp() {
    givenUp_ = true;
    auto unanswered = std::move(open_);
    open_.clear();
    for (auto& [serial, call] : unanswered) call.handler(nullptr);
}

void AtspiPeerBatch::wait() {
    DBusConnection* connection = peer_.get();
    while (!open_.empty()) {
        if (DBusMessage* message = dbus_connection_pop_message(connection)) {
            answer(message);
            continue;
        }
        const auto left = AtspiAbandon::requested()
                              ? 0
                              : std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        if (left <= 0) {
            g_debug("deadline passed with %zu calls unanswered", open_.size());
            timedOut_ = true;
            break;
        }
        // Writes what is queued and reads what has come, waiting at most until the deadline
        // or the next look at whether the read is still wanted.
        if (!dbus_connection_read_write(connection,
                                        static_cast<int>(std::min<long long>(left, AtspiAbandon::pollInterval.count())))) {
            g_debug("the connection closed with %zu calls unanswered", open_.size());
            break;
        }
    }
    giveUp();
}

void AtspiPeerBatch::children(const std::string& path, Answer<std::vector<std::string>> done) {
    call(path, accessibleInterface, "GetChildren",
         answering<std::vector<std::string>>(std::move(done), [bus = peer_.bus()](DBusMessage* reply) {
             return dbus_message_has_signature(reply, "a(so)")
                        ? std::optional(AtspiReplies::pathsOn(reply, bus))
                        : std::nullopt;
         }));
}

void AtspiPeerBatch::role(const std::string& path, Answer<std::uint32_t> done) {
    call(path, accessibleInterface, "GetRole", answering<std::uint32_t>(std::move(done), &AtspiReplies::number));
}

void AtspiPeerBatch::states(const std::string& path, Answer<std::uint64_t> done) {
    call(path, accessibleInterface, "GetState", answering<std::uint64_t>(std::move(done), &AtspiReplies::states));
}

libdbus::Message AtspiPeerBatch::nameRequest(const std::string& destination, const std::string& path) {
    libdbus::Message message = request(destination, path, "org.freedesktop.DBus.Properties", "Get");
    const char* interface = accessibleInterface;
    const char* property = "Name";
    if (message)
        dbus_message_append_args(message.get(), DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                                 DBUS_TYPE_INVALID);
    return message;
}

void AtspiPeerBatch::name(const std::string& path, Answer<std::string> done) {
    send(nameRequest(peer_.destination(), path), answering<std::string>(std::move(done), &AtspiReplies::textInVariant));
}

void AtspiPeerBatch::keyBinding(const std::string& path, Answer<std::string> done) {
    call(path, "org.a11y.atspi.Action", "GetKeyBinding", answering<std::string>(std::move(done), &AtspiReplies::text),
         0);
}

void AtspiPeerBatch::cache(AtspiDetails::ByPath& objects) {
    call("/org/a11y/atspi/cache", "org.a11y.atspi.Cache", "GetItems", [this, &objects](DBusMessage* reply) {
        if (reply) AtspiReplies::read(reply, peer_.bus(), objects);
    });
}

} // namespace tavlin::platform::atspi
