#include "platform/linux/AtspiWire.h"

#include <dbus/dbus.h>

#include <algorithm>
#include <string>

namespace tavlin::platform::atspi {
namespace {

// The address of the local socket that `bus` is connected to, or empty.
std::string addressOf(GDBusConnection* bus) {
    GIOStream* stream = g_dbus_connection_get_stream(bus);
    if (!G_IS_SOCKET_CONNECTION(stream)) return {};
    GSocketAddress* remote = g_socket_connection_get_remote_address(G_SOCKET_CONNECTION(stream), nullptr);
    if (!remote) return {};
    std::string address;
    if (G_IS_UNIX_SOCKET_ADDRESS(remote)) {
        GUnixSocketAddress* unix = G_UNIX_SOCKET_ADDRESS(remote);
        const GUnixSocketAddressType type = g_unix_socket_address_get_address_type(unix);
        const std::string path(g_unix_socket_address_get_path(unix), g_unix_socket_address_get_path_len(unix));
        char* escaped = dbus_address_escape_value(path.c_str());
        if (type == G_UNIX_SOCKET_ADDRESS_PATH && path.find('\0') == std::string::npos)
            address = std::string("unix:path=") + escaped;
        else if ((type == G_UNIX_SOCKET_ADDRESS_ABSTRACT || type == G_UNIX_SOCKET_ADDRESS_ABSTRACT_PADDED) &&
                 path.find('\0') == std::string::npos)
            address = std::string("unix:abstract=") + escaped;
        dbus_free(escaped);
    }
    g_object_unref(remote);
    return address;
}

} // namespace

DBusConnection* AtspiWire::of(GDBusConnection* bus, Clock::time_point deadline) {
    if (!bus || g_dbus_connection_is_closed(bus)) return nullptr;
    static const GQuark key = g_quark_from_static_string("tavlin-atspi-wire");
    auto* kept = static_cast<AtspiWire*>(g_object_get_qdata(G_OBJECT(bus), key));
    if (kept && dbus_connection_get_is_connected(kept->connection_)) return kept->connection_;
    DBusConnection* opened = open(bus, deadline);
    // Replaces (and so closes) a wire the bus closed; none is kept when this one failed.
    g_object_set_qdata_full(G_OBJECT(bus), key, opened ? new AtspiWire(opened) : nullptr,
                            [](gpointer wire) { delete static_cast<AtspiWire*>(wire); });
    return opened;
}

DBusConnection* AtspiWire::open(GDBusConnection* bus, Clock::time_point deadline) {
    const std::string address = addressOf(bus);
    if (address.empty()) return nullptr;
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* connection = dbus_connection_open_private(address.c_str(), &error);
    if (!connection) {
        g_debug("no libdbus connection to %s: %s", address.c_str(), error.message);
        dbus_error_free(&error);
        return nullptr;
    }
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    // The bus routes nothing before the hello; it is said by hand, so that a bus that
    // doesn't answer costs no more than what is left of the scan.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    DBusMessage* hello = dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "Hello");
    DBusMessage* reply =
        left > 0 ? dbus_connection_send_with_reply_and_block(connection, hello, static_cast<int>(std::min<long long>(left, 60000)), &error)
                 : nullptr;
    dbus_message_unref(hello);
    if (reply) {
        dbus_message_unref(reply);
        return connection;
    }
    g_debug("the bus at %s didn't answer a hello: %s", address.c_str(), error.message ? error.message : "out of time");
    dbus_error_free(&error);
    dbus_connection_close(connection);
    dbus_connection_unref(connection);
    return nullptr;
}

AtspiWire::~AtspiWire() {
    dbus_connection_close(connection_);
    dbus_connection_unref(connection_);
}

} // namespace tavlin::platform::atspi
