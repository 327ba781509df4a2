#include "platform/linux/atspi/bus/AtspiPeerBatch.h"

#include "platform/linux/atspi/bus/AtspiAbandon.h"

#include "platform/linux/atspi/bus/AtspiReplies.h"

#include <glib.h>

#include <algorithm>

namespace tavlin::platform::atspi {

AtspiPeerBatch::AtspiPeerBatch(AtspiPeerConnection& peer, Clock::time_point deadline) : peer_(peer), deadline_(deadline) {}

// Replies that come after the batch are dropped by the next one on the connection.
AtspiPeerBatch::~AtspiPeerBatch() = default;

void AtspiPeerBatch::call(const std::string& path, const char* interface, const char* method, Handler handler,
                          std::optional<std::int32_t> index) {
    if (Clock::now() >= deadline_ || AtspiAbandon::requested() || !dbus_validate_path(path.c_str(), nullptr)) {
        handler(nullptr);
        return;
    }
    const libdbus::Message message(dbus_message_new_method_call(
        peer_.destination().empty() ? nullptr : peer_.destination().c_str(), path.c_str(), interface, method));
    if (!message) {
        handler(nullptr);
        return;
    }
    if (index) {
        const dbus_int32_t value = *index;
        dbus_message_append_args(message.get(), DBUS_TYPE_INT32, &value, DBUS_TYPE_INVALID);
    }
    dbus_message_set_auto_start(message.get(), FALSE);
    // Sent without a pending call of libdbus's own: the replies are told apart by serial.
    dbus_uint32_t serial = 0;
    if (!dbus_connection_send(peer_.get(), message.get(), &serial) || serial == 0) {
        g_debug("%s %s: the connection is closed", method, path.c_str());
        handler(nullptr);
        return;
    }
    open_.emplace(serial, Call{std::move(handler), method, path});
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
        g_debug("%s peer %s: %s", call.method, call.path.c_str(), dbus_message_get_error_name(message));
        call.handler(nullptr);
        return;
    }
    call.handler(message);
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
    auto unanswered = std::move(open_);
    open_.clear();
    for (auto& [serial, call] : unanswered) call.handler(nullptr);
}

void AtspiPeerBatch::children(const std::string& path, std::function<void(std::vector<std::string>)> done) {
    call(path, "org.a11y.atspi.Accessible", "GetChildren", [bus = peer_.bus(), done = std::move(done)](DBusMessage* reply) {
        if (reply && dbus_message_has_signature(reply, "a(so)")) done(AtspiReplies::pathsOn(reply, bus));
    });
}

void AtspiPeerBatch::keyBinding(const std::string& path, std::function<void(std::string)> done) {
    call(
        path, "org.a11y.atspi.Action", "GetKeyBinding",
        [done = std::move(done)](DBusMessage* reply) {
            const char* binding = nullptr;
            if (reply && dbus_message_get_args(reply, nullptr, DBUS_TYPE_STRING, &binding, DBUS_TYPE_INVALID))
                done(binding);
        },
        0);
}

void AtspiPeerBatch::cache(AtspiDetails::ByPath& objects) {
    call("/org/a11y/atspi/cache", "org.a11y.atspi.Cache", "GetItems", [this, &objects](DBusMessage* reply) {
        if (reply) AtspiReplies::read(reply, peer_.bus(), objects);
    });
}

} // namespace tavlin::platform::atspi
