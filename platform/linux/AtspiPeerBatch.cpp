#include "platform/linux/AtspiPeerBatch.h"

#include "platform/linux/AtspiReplies.h"

#include <glib.h>

#include <algorithm>

namespace tavlin::platform::atspi {

struct AtspiPeerBatch::Call {
    AtspiPeerBatch* batch;
    Handler handler;
    libdbus::Pending pending;
    const char* method;
    std::string path;
    bool open = true;
};

AtspiPeerBatch::AtspiPeerBatch(AtspiPeerConnection& peer, Clock::time_point deadline) : peer_(peer), deadline_(deadline) {}

AtspiPeerBatch::~AtspiPeerBatch() {
    // Calls given up: their late replies are dropped by libdbus, never handled.
    for (const auto& call : calls_)
        if (call->open && call->pending) dbus_pending_call_cancel(call->pending.get());
}

void AtspiPeerBatch::call(const std::string& path, const char* interface, const char* method, Handler handler,
                          std::optional<std::int32_t> index) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
    if (left <= 0 || !dbus_validate_path(path.c_str(), nullptr)) {
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
    DBusPendingCall* pending = nullptr;
    const int timeout = static_cast<int>(std::min<long long>(left + 1, G_MAXINT));
    if (!dbus_connection_send_with_reply(peer_.get(), message.get(), &pending, timeout) || !pending) {
        g_debug("%s %s: the connection is closed", method, path.c_str());
        handler(nullptr);
        return;
    }
    auto& call = calls_.emplace_back(new Call{this, std::move(handler), libdbus::Pending(pending), method, path});
    ++open_;
    dbus_pending_call_set_notify(pending, &finished, call.get(), nullptr);
    // A reply may have come in already, while an earlier call was waited for.
    if (call->open && dbus_pending_call_get_completed(pending)) finished(pending, call.get());
}

void AtspiPeerBatch::finished(DBusPendingCall* pending, void* data) {
    Call& call = *static_cast<Call*>(data);
    if (!call.open) return;
    const libdbus::Message reply(dbus_pending_call_steal_reply(pending));
    if (reply && dbus_message_get_type(reply.get()) == DBUS_MESSAGE_TYPE_ERROR) {
        // An object gone, a method the toolkit lacks, a late answer: met in the normal run of things.
        DBusError error;
        dbus_error_init(&error);
        dbus_set_error_from_message(&error, reply.get());
        g_debug("%s peer %s: %s", call.method, call.path.c_str(), error.message);
        dbus_error_free(&error);
        call.batch->finish(call, nullptr);
        return;
    }
    call.batch->finish(call, reply.get());
}

void AtspiPeerBatch::finish(Call& call, DBusMessage* reply) {
    call.open = false;
    --open_;
    call.handler(reply);
}

void AtspiPeerBatch::wait() {
    while (open_ > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        if (left <= 0) {
            g_debug("deadline passed with %zu calls unanswered", open_);
            timedOut_ = true;
            break;
        }
        // Sends what is queued, waits for what comes in, and runs the handlers of the
        // replies read; false once the connection is closed and every call failed.
        if (!dbus_connection_read_write_dispatch(peer_.get(), static_cast<int>(std::min<long long>(left, G_MAXINT))))
            break;
    }
    for (const auto& call : calls_)
        if (call->open) {
            dbus_pending_call_cancel(call->pending.get());
            finish(*call, nullptr);
        }
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
