#include "platform/linux/AtspiCallBatch.h"

#include "platform/linux/GLibHandle.h"

#include <algorithm>

namespace tavlin::platform::atspi {

struct AtspiCallBatch::Call {
    AtspiCallBatch* batch;
    Handler handler;
    std::string method;
    std::string where;  // the bus name and object path called
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

AtspiCallBatch::AtspiCallBatch(GDBusConnection* connection, GMainContext* context, Clock::time_point deadline)
    : connection_(connection), deadline_(deadline), context_(context), cancellable_(g_cancellable_new()) {
    // Replies are delivered to the context that is the thread's default when a call is made.
    g_main_context_push_thread_default(context_);
}

AtspiCallBatch::~AtspiCallBatch() {
    if (open_ > 0) {
        g_debug("%zu calls given up unanswered", open_);
        g_cancellable_cancel(cancellable_);
        while (open_ > 0) g_main_context_iteration(context_, TRUE);
    }
    g_main_context_pop_thread_default(context_);
    g_object_unref(cancellable_);
}

void AtspiCallBatch::call(const std::string& bus, const std::string& path, const char* interface, const char* method,
                          GVariant* parameters, const char* replyType, Handler handler) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
    if (left <= 0 || !g_variant_is_object_path(path.c_str()) || (!bus.empty() && !g_dbus_is_name(bus.c_str()))) {
        glib::sink(parameters);
        handler(nullptr);
        return;
    }
    ++open_;
    g_dbus_connection_call(connection_, bus.empty() ? nullptr : bus.c_str(), path.c_str(), interface, method, parameters,
                           replyType ? G_VARIANT_TYPE(replyType) : nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START,
                           static_cast<int>(std::min<long long>(left + 1, G_MAXINT)), cancellable_, &finished,
                           new Call{this, std::move(handler), method, (bus.empty() ? "peer" : bus) + " " + path});
}

void AtspiCallBatch::finished(GObject* source, GAsyncResult* result, gpointer data) {
    Call* call = static_cast<Call*>(data);
    GError* error = nullptr;
    const glib::Variant reply(g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error));
    // Calls cancelled at the deadline are counted together, in wait().
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED))
        g_clear_error(&error);
    else
        report(error, call->method.c_str(), call->where);
    --call->batch->open_;
    call->handler(reply.get());
    delete call;
}

struct AtspiCallBatch::Connecting {
    AtspiCallBatch* batch;
    std::function<void(GDBusConnection*)> handler;
    bool messageBus;
    std::string address;
};

void AtspiCallBatch::connect(const std::string& address, bool messageBus,
                             std::function<void(GDBusConnection*)> handler) {
    if (Clock::now() >= deadline_) {
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
    while (open_ > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        if (left <= 0 && !g_cancellable_is_cancelled(cancellable_)) {
            g_debug("deadline passed with %zu calls unanswered", open_);
            timedOut_ = true;
            g_cancellable_cancel(cancellable_);
        }
        if (g_cancellable_is_cancelled(cancellable_)) {
            g_main_context_iteration(context_, TRUE);
            continue;
        }
        // Wake up at the deadline even when nothing arrives.
        GSource* timer = g_timeout_source_new(static_cast<guint>(std::min<long long>(left, G_MAXINT)) + 1);
        g_source_set_callback(timer, [](gpointer) { return G_SOURCE_REMOVE; }, nullptr, nullptr);
        g_source_attach(timer, context_);
        g_main_context_iteration(context_, TRUE);
        g_source_destroy(timer);
        g_source_unref(timer);
    }
}

} // namespace tavlin::platform::atspi
