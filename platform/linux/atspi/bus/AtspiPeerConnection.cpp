#include "platform/linux/atspi/bus/AtspiPeerConnection.h"

#include <glib.h>

namespace tavlin::platform::atspi {

AtspiPeerConnection::AtspiPeerConnection(libdbus::Connection connection, std::string destination, std::string bus)
    : connection_(std::move(connection)), destination_(std::move(destination)), bus_(std::move(bus)) {}

libdbus::Connection AtspiPeerConnection::open(const std::string& address) {
    // libdbus guards its shared state for use from several threads (libatspi uses it on
    // the main thread too); a no-op once done.
    dbus_threads_init_default();
    DBusError error;
    dbus_error_init(&error);
    libdbus::Connection connection(dbus_connection_open_private(address.c_str(), &error));
    if (!connection) {
        g_debug("no connection to %s: %s", address.c_str(), error.message);
        dbus_error_free(&error);
        return nullptr;
    }
    // A closed connection is noticed at the next scan; it never ends the process.
    dbus_connection_set_exit_on_disconnect(connection.get(), FALSE);
    return connection;
}

std::unique_ptr<AtspiPeerConnection> AtspiPeerConnection::direct(const std::string& address, const std::string& bus) {
    libdbus::Connection connection = open(address);
    if (!connection) return nullptr;
    return std::unique_ptr<AtspiPeerConnection>(new AtspiPeerConnection(std::move(connection), "", bus));
}

std::unique_ptr<AtspiPeerConnection> AtspiPeerConnection::throughBus(const std::string& address, const std::string& bus) {
    libdbus::Connection connection = open(address);
    if (!connection) return nullptr;
    // The bus takes no other call before this greeting. Its answer, the connection's own
    // name, is read with the first batch's answers; nothing waits for it.
    libdbus::Message hello(dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "Hello"));
    if (!hello || !dbus_connection_send(connection.get(), hello.get(), nullptr)) return nullptr;
    return std::unique_ptr<AtspiPeerConnection>(new AtspiPeerConnection(std::move(connection), bus, bus));
}

bool AtspiPeerConnection::connected() const { return dbus_connection_get_is_connected(connection_.get()); }

} // namespace tavlin::platform::atspi
