#include "platform/linux/atspi/bus/AtspiCallBatch.h"

#include "platform/linux/atspi/bus/AtspiAbandon.h"

#include "platform/linux/atspi/bus/AtspiWireValues.h"
#include "platform/linux/common/GLibHandle.h"

#include <dbus/dbus.h>

#include <algorithm>
#include <atomic>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tavlin::platform::atspi {

struct AtspiCallBatch::Call {
    Handler handler;
    const char* replyType;
    std::string method;
    std::string where;  // the bus name and object path called
};

// The calls sent and the replies come in, shared between the batch's thread and the
// connection's worker thread, which hands each reply over as it reads it. The replies are
// taken straight off the connection: a call costs no task, no main-loop source and no
// thread switch of its own, which is most of what a call costs the caller otherwise. The
// filter may still run for a moment after it is removed, so it holds its own reference.
struct AtspiCallBatch::Replies {
    std::atomic<int> references{1};
    GMutex lock;
    GMainContext* context;
    bool closed = false;
    std::unordered_map<guint32, Call*> sent;
    std::vector<std::pair<Call*, GDBusMessage*>> arrived;

    explicit Replies(GMainContext* owner) : context(g_main_context_ref(owner)) { g_mutex_init(&lock); }
    ~Replies() {
        g_mutex_clear(&lock);
        g_main_context_unref(context);
    }
    static void release(gpointer data) {
        Replies* replies = static_cast<Replies*>(data);
        if (replies->references.fetch_sub(1) == 1) delete replies;
    }
};

void AtspiCallBatch::report(GError* error, const char* what, const std::string& where) {
    if (!error) return;
    const bool expected = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED) ||
                          g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT) || g_dbus_error_is_remote_error(error);
    if (expected)
        g_debug("%s %s: %s", what, where.c_str(), error->message);
    else
        g_warning("%s %s: %s", what, where.c_str(), error->message);
    g_error_free(error);
}

AtspiCallBatch::AtspiCallBatch(GDBusConnection* connection, GMainContext* context, Clock::time_point deadline,
                               DBusConnection* wire)
    : connection_(connection), deadline_(deadline), context_(context), cancellable_(g_cancellable_new()), wire_(wire) {
    // Replies are delivered to the context that is the thread's default when a call is made.
    g_main_context_push_thread_default(context_);
}

AtspiCallBatch::~AtspiCallBatch() {
    if (!onWire_.empty()) {
        // Their replies, should they still come, are dropped by the next batch.
        g_debug("%zu calls given up unanswered", onWire_.size());
        auto unanswered = std::move(onWire_);
        for (auto& [serial, call] : unanswered) {
            --open_;
            call->handler(nullptr);
            delete call;
        }
    }
    if (open_ > 0) {
        g_debug("%zu calls given up unanswered", open_);
        giveUp();
        g_cancellable_cancel(cancellable_);
        while (open_ > 0) g_main_context_iteration(context_, TRUE);
    }
    if (replies_) {
        g_dbus_connection_remove_filter(connection_, filterId_);
        Replies::release(replies_);
    }
    g_main_context_pop_thread_default(context_);
    g_object_unref(cancellable_);
}

GDBusMessage* AtspiCallBatch::filter(GDBusConnection*, GDBusMessage* message, gboolean incoming, gpointer data) {
    if (!incoming) return message;
    const GDBusMessageType type = g_dbus_message_get_message_type(message);
    if (type != G_DBUS_MESSAGE_TYPE_METHOD_RETURN && type != G_DBUS_MESSAGE_TYPE_ERROR) return message;
    Replies* replies = static_cast<Replies*>(data);
    g_mutex_lock(&replies->lock);
    const auto it = replies->closed ? replies->sent.end() : replies->sent.find(g_dbus_message_get_reply_serial(message));
    if (it == replies->sent.end()) {
        g_mutex_unlock(&replies->lock);
        return message;
    }
    const bool first = replies->arrived.empty();
    replies->arrived.emplace_back(it->second, message);
    replies->sent.erase(it);
    g_mutex_unlock(&replies->lock);
    if (first) g_main_context_wakeup(replies->context);
    return nullptr; // taken: the connection looks no further for whom it is
}

void AtspiCallBatch::call(const std::string& bus, const std::string& path, const char* interface, const char* method,
                          GVariant* parameters, const char* replyType, Handler handler) {
    if (wire_) {
        callOnWire(bus, path, interface, method, parameters, replyType, std::move(handler));
        return;
    }
    if (Clock::now() >= deadline_ || AtspiAbandon::requested() || !connection_ || !g_variant_is_object_path(path.c_str()) ||
        (!bus.empty() && !g_dbus_is_name(bus.c_str()))) {
        glib::sink(parameters);
        handler(nullptr);
        return;
    }
    if (!replies_) {
        replies_ = new Replies(context_);
        ++replies_->references;
        filterId_ = g_dbus_connection_add_filter(connection_, &filter, replies_, &Replies::release);
    }
    GDBusMessage* message = g_dbus_message_new_method_call(bus.empty() ? nullptr : bus.c_str(), path.c_str(), interface, method);
    if (parameters) g_dbus_message_set_body(message, parameters);
    g_dbus_message_set_flags(message, G_DBUS_MESSAGE_FLAGS_NO_AUTO_START);
    Call* call = new Call{std::move(handler), replyType, method, (bus.empty() ? "peer" : bus) + " " + path};
    // Held while sending, so that the reply, which the worker thread may read at once,
    // finds its call.
    g_mutex_lock(&replies_->lock);
    guint32 serial = 0;
    GError* error = nullptr;
    const bool sent = g_dbus_connection_send_message(connection_, message, G_DBUS_SEND_MESSAGE_FLAGS_NONE, &serial, &error);
    if (sent) replies_->sent.emplace(serial, call);
    g_mutex_unlock(&replies_->lock);
    g_object_unref(message);
    if (!sent) {
        report(error, method, call->where);
        call->handler(nullptr);
        delete call;
        return;
    }
    ++open_;
}

void AtspiCallBatch::callOnWire(const std::string& bus, const std::string& path, const char* interface,
                                const char* method, GVariant* parameters, const char* replyType, Handler handler) {
    const glib::Variant arguments = glib::sink(parameters);
    DBusMessage* message = nullptr;
    if (Clock::now() < deadline_ && !AtspiAbandon::requested() && g_variant_is_object_path(path.c_str()) &&
        (bus.empty() || g_dbus_is_name(bus.c_str())))
        message = dbus_message_new_method_call(bus.empty() ? nullptr : bus.c_str(), path.c_str(), interface, method);
    if (message && arguments && !AtspiWireValues::append(message, arguments.get())) {
        g_warning("%s %s %s: arguments of type %s not sent", method, bus.c_str(), path.c_str(),
                  g_variant_get_type_string(arguments.get()));
        dbus_message_unref(message);
        message = nullptr;
    }
    dbus_uint32_t serial = 0;
    if (message) {
        dbus_message_set_auto_start(message, FALSE);
        if (!dbus_connection_send(wire_, message, &serial)) serial = 0;
        dbus_message_unref(message);
    }
    if (serial == 0) {
        handler(nullptr);
        return;
    }
    onWire_.emplace(serial, new Call{std::move(handler), replyType, method, (bus.empty() ? "peer" : bus) + " " + path});
    ++open_;
}

void AtspiCallBatch::waitOnWire() {
    while (!onWire_.empty()) {
        if (DBusMessage* message = dbus_connection_pop_message(wire_)) {
            const int type = dbus_message_get_type(message);
            const auto it = type == DBUS_MESSAGE_TYPE_METHOD_RETURN || type == DBUS_MESSAGE_TYPE_ERROR
                                ? onWire_.find(dbus_message_get_reply_serial(message))
                                : onWire_.end();
            if (it == onWire_.end()) { // a late reply to an earlier batch, or the bus's own signals
                dbus_message_unref(message);
                continue;
            }
            Call* call = it->second;
            onWire_.erase(it);
            GVariant* reply = nullptr;
            GError* error = nullptr;
            if (type == DBUS_MESSAGE_TYPE_ERROR) {
                const char* text = nullptr;
                dbus_message_get_args(message, nullptr, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID);
                error = g_dbus_error_new_for_dbus_error(dbus_message_get_error_name(message), text ? text : "");
            } else if (!(reply = AtspiWireValues::body(message))) {
                g_set_error(&error, G_IO_ERROR, G_IO_ERROR_INVALID_ARGUMENT, "answered with values of type %s",
                            dbus_message_get_signature(message));
            } else if (call->replyType && !g_variant_is_of_type(reply, G_VARIANT_TYPE(call->replyType))) {
                g_set_error(&error, G_IO_ERROR, G_IO_ERROR_INVALID_ARGUMENT, "answered with type %s, not %s",
                            g_variant_get_type_string(reply), call->replyType);
                g_clear_pointer(&reply, g_variant_unref);
            }
            dbus_message_unref(message);
            report(error, call->method.c_str(), call->where);
            --open_;
            call->handler(reply);
            if (reply) g_variant_unref(reply);
            delete call;
            continue;
        }
        const auto left = AtspiAbandon::requested()
                              ? 0
                              : std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        // Writes what is queued and reads what has come, waiting at most until the deadline
        // or the next look at whether the read is still wanted.
        if (left <= 0 || !dbus_connection_read_write(
                             wire_, static_cast<int>(std::min<long long>(left + 1, AtspiAbandon::pollInterval.count())))) {
            if (left <= 0) {
                g_debug("deadline passed with %zu calls unanswered", onWire_.size());
                timedOut_ = true;
            } else {
                g_debug("the bus closed the connection with %zu calls unanswered", onWire_.size());
            }
            auto unanswered = std::move(onWire_);
            onWire_.clear();
            for (auto& [serial, call] : unanswered) {
                --open_;
                call->handler(nullptr);
                delete call;
            }
        }
    }
}

void AtspiCallBatch::answer() {
    std::vector<std::pair<Call*, GDBusMessage*>> arrived;
    g_mutex_lock(&replies_->lock);
    arrived.swap(replies_->arrived);
    g_mutex_unlock(&replies_->lock);
    for (auto& [call, message] : arrived) {
        GVariant* reply = nullptr;
        GError* error = nullptr;
        if (!g_dbus_message_to_gerror(message, &error)) {
            reply = g_dbus_message_get_body(message);
            if (!reply) reply = g_variant_new_tuple(nullptr, 0);
            g_variant_ref_sink(reply);
            if (call->replyType && !g_variant_is_of_type(reply, G_VARIANT_TYPE(call->replyType))) {
                g_set_error(&error, G_IO_ERROR, G_IO_ERROR_INVALID_ARGUMENT, "answered with type %s, not %s",
                            g_variant_get_type_string(reply), call->replyType);
                g_clear_pointer(&reply, g_variant_unref);
            }
        }
        report(error, call->method.c_str(), call->where);
        --open_;
        call->handler(reply);
        if (reply) g_variant_unref(reply);
        g_object_unref(message);
        delete call;
    }
}

void AtspiCallBatch::giveUp() {
    if (!replies_) return;
    answer();
    std::vector<Call*> unanswered;
    g_mutex_lock(&replies_->lock);
    for (auto& [serial, call] : replies_->sent) unanswered.push_back(call);
    replies_->sent.clear();
    g_mutex_unlock(&replies_->lock);
    for (Call* call : unanswered) {
        --open_;
        call->handler(nullptr);
        delete call;
    }
}

struct AtspiCallBatch::Connecting {
    AtspiCallBatch* batch;
    std::function<void(GDBusConnection*)> handler;
    bool messageBus;
    std::string address;
};

void AtspiCallBatch::connect(const std::string& address, bool messageBus,
                             std::function<void(GDBusConnection*)> handler) {
    if (Clock::now() >= deadline_ || AtspiAbandon::requested()) {
        handler(nullptr);
        return;
    }
    ++open_;
    const auto flags = static_cast<GDBusConnectionFlags>(
        G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
        (messageBus ? G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION : G_DBUS_CONNECTION_FLAGS_NONE));
    g_dbus_connection_new_for_address(address.c_str(), flags, nullptr, cancellable_, &connected,
                                      new Connecting{this, std::move(handler), messageBus, address});
}

void AtspiCallBatch::connected(GObject*, GAsyncResult* result, gpointer data) {
    Connecting* connecting = static_cast<Connecting*>(data);
    GError* error = nullptr;
    GDBusConnection* connection = g_dbus_connection_new_for_address_finish(result, &error);
    if (error && !connecting->messageBus) {
        // The application's own socket refused: its objects are read through the bus.
        g_debug("no direct connection to %s: %s", connecting->address.c_str(), error->message);
        g_clear_error(&error);
    }
    report(error, "connecting to", connecting->address);
    --connecting->batch->open_;
    connecting->handler(connection);
    delete connecting;
}

void AtspiCallBatch::wait() {
    if (wire_) waitOnWire();
    while (open_ > 0) {
        if (replies_) {
            answer();
            if (open_ == 0) break;
        }
        const auto left = AtspiAbandon::requested()
                              ? 0
                              : std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        if (left <= 0 && !timedOut_) {
            g_debug("deadline passed with %zu calls unanswered", open_);
            timedOut_ = true;
            giveUp();
            g_cancellable_cancel(cancellable_);
        }
        if (timedOut_) {
            if (open_ > 0) g_main_context_iteration(context_, TRUE);
            continue;
        }
        // Wake up at the deadline even when nothing arrives.
        GSource* timer = g_timeout_source_new(static_cast<guint>(std::min<long long>(left, AtspiAbandon::pollInterval.count())) + 1);
        g_source_set_callback(timer, [](gpointer) { return G_SOURCE_REMOVE; }, nullptr, nullptr);
        g_source_attach(timer, context_);
        g_main_context_iteration(context_, TRUE);
        g_source_destroy(timer);
        g_source_unref(timer);
    }
}

} // namespace tavlin::platform::atspi
