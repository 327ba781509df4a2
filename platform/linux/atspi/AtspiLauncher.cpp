#include "platform/linux/atspi/AtspiLauncher.h"

#include "platform/linux/atspi/bus/AtspiPeerBatch.h"
#include "platform/linux/atspi/bus/AtspiReplies.h"

#include <gio/gio.h>

#include <cstdlib>
#include <string>

namespace tavlin::platform::atspi {
namespace {

constexpr const char* launcherName = "org.a11y.Bus";
constexpr const char* launcherPath = "/org/a11y/bus";
constexpr const char* propertiesInterface = "org.freedesktop.DBus.Properties";
constexpr const char* statusInterface = "org.a11y.Status";

// The session bus's address, or none when there is no session bus: from the
// environment, else the user's bus socket. Never starts a bus.
std::optional<std::string> sessionAddress() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address) return std::string(address);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return std::nullopt;
    gchar* socket = g_build_filename(runtime, "bus", nullptr);
    std::optional<std::string> address;
    if (g_file_test(socket, G_FILE_TEST_EXISTS)) {
        gchar* escaped = g_dbus_address_escape_value(socket);
        address = std::string("unix:path=") + escaped;
        g_free(escaped);
    }
    g_free(socket);
    return address;
}

// The IsEnabled of a PropertiesChanged notice of the launcher's status, if it tells one.
std::optional<bool> enabledIn(DBusMessage* notice) {
    DBusMessageIter iter, changes;
    const char* interface = nullptr;
    if (!dbus_message_has_signature(notice, "sa{sv}as") || !dbus_message_iter_init(notice, &iter)) return std::nullopt;
    dbus_message_iter_get_basic(&iter, &interface);
    if (std::string(interface) != statusInterface) return std::nullopt;
    dbus_message_iter_next(&iter);
    dbus_message_iter_recurse(&iter, &changes);
    for (; dbus_message_iter_get_arg_type(&changes) == DBUS_TYPE_DICT_ENTRY; dbus_message_iter_next(&changes)) {
        DBusMessageIter entry, value;
        const char* name = nullptr;
        dbus_message_iter_recurse(&changes, &entry);
        dbus_message_iter_get_basic(&entry, &name);
        if (std::string(name) != "IsEnabled") continue;
        dbus_message_iter_next(&entry);
        dbus_message_iter_recurse(&entry, &value);
        if (dbus_message_iter_get_arg_type(&value) != DBUS_TYPE_BOOLEAN) return std::nullopt;
        dbus_bool_t enabled = FALSE;
        dbus_message_iter_get_basic(&value, &enabled);
        return enabled != FALSE;
    }
    return std::nullopt;
}

} // namespace

AtspiPeerConnection* AtspiLauncher::connection() {
    if (connection_ && !connection_->connected()) {
        connection_.reset();
        enabled_.reset();
    }
    if (!connection_) {
        const std::optional<std::string> address = sessionAddress();
        if (!address) return nullptr;
        connection_ = AtspiPeerConnection::throughBus(*address, launcherName);
        if (!connection_) return nullptr;
        // Subscribed without waiting: the bus takes the rules before any later call.
        dbus_bus_add_match(connection_->get(),
                           "type='signal',sender='org.a11y.Bus',path='/org/a11y/bus',"
                           "interface='org.freedesktop.DBus.Properties',member='PropertiesChanged'",
                           nullptr);
        dbus_bus_add_match(connection_->get(),
                           "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
                           "member='NameOwnerChanged',arg0='org.a11y.Bus'",
                           nullptr);
    }
    return connection_.get();
}

libdbus::Message AtspiLauncher::call(libdbus::Message request) {
    AtspiPeerConnection* session = connection();
    if (!session) return nullptr;
    // The batch drops what else comes in meanwhile, a notice among it.
    enabled_.reset();
    libdbus::Message reply;
    AtspiPeerBatch batch(*session, AtspiPeerBatch::Clock::now() + timeout);
    batch.send(std::move(request), [&reply](DBusMessage* answer) {
        if (answer) reply.reset(dbus_message_ref(answer));
    });
    batch.wait();
    return reply;
}

std::optional<std::string> AtspiLauncher::busAddress() {
    const libdbus::Message reply = call(AtspiPeerBatch::request(launcherName, launcherPath, launcherName, "GetAddress"));
    std::optional<std::string> address = reply ? AtspiReplies::text(reply.get()) : std::nullopt;
    if (address && address->empty()) return std::nullopt;
    return address;
}

void AtspiLauncher::enable() {
    libdbus::Message set = AtspiPeerBatch::request(launcherName, launcherPath, propertiesInterface, "Set");
    if (set) {
        DBusMessageIter iter, value;
        const char* interface = statusInterface;
        const char* property = "IsEnabled";
        const dbus_bool_t on = TRUE;
        dbus_message_iter_init_append(set.get(), &iter);
        dbus_message_iter_append_basic(&iter, DBUS_TYPE_STRING, &interface);
        dbus_message_iter_append_basic(&iter, DBUS_TYPE_STRING, &property);
        dbus_message_iter_open_container(&iter, DBUS_TYPE_VARIANT, DBUS_TYPE_BOOLEAN_AS_STRING, &value);
        dbus_message_iter_append_basic(&value, DBUS_TYPE_BOOLEAN, &on);
        dbus_message_iter_close_container(&iter, &value);
    }
    call(std::move(set));
}

void AtspiLauncher::readNotices() {
    DBusConnection* wire = connection_->get();
    // Takes in what the socket holds, without waiting.
    dbus_connection_read_write(wire, 0);
    while (DBusMessage* message = dbus_connection_pop_message(wire)) {
        if (dbus_message_is_signal(message, propertiesInterface, "PropertiesChanged")) {
            if (const std::optional<bool> enabled = enabledIn(message)) enabled_ = enabled;
        } else if (dbus_message_is_signal(message, DBUS_INTERFACE_DBUS, "NameOwnerChanged")) {
            // Another launcher, or none: asked again.
            enabled_.reset();
        }
        dbus_message_unref(message);
    }
}

bool AtspiLauncher::enabled() {
    if (!connection()) return false;
    readNotices();
    if (!connection_->connected()) enabled_.reset();
    if (enabled_) return *enabled_;
    libdbus::Message get = AtspiPeerBatch::request(launcherName, launcherPath, propertiesInterface, "Get");
    const char* interface = statusInterface;
    const char* property = "IsEnabled";
    if (get) dbus_message_append_args(get.get(), DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property, DBUS_TYPE_INVALID);
    const libdbus::Message reply = call(std::move(get));
    if (!reply) return false;
    const bool enabled = AtspiReplies::truthInVariant(reply.get()).value_or(false);
    enabled_ = enabled;
    return enabled;
}

} // namespace tavlin::platform::atspi
