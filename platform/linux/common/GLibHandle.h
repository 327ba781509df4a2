#pragma once

// GLib's headers go before Qt's, whose "signals" keyword clashes with them.
#include <gio/gio.h>

#include <memory>
#include <string>

namespace tavlin::platform {

// Releases a GLib object the way its type wants.
struct GLibRelease {
    void operator()(GVariant* variant) const { g_variant_unref(variant); }
    void operator()(GError* error) const { g_error_free(error); }
    void operator()(GDBusConnection* connection) const { g_object_unref(connection); }
    void operator()(GSettings* settings) const { g_object_unref(settings); }
    void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
    void operator()(GKeyFile* file) const { g_key_file_unref(file); }
    void operator()(gchar** strings) const { g_strfreev(strings); }
};

// An owning handle of one GLib object (for a string array, T is gchar*). A connection
// held this way is a reference to a connection that others may share.
template <class T> using GLibHandle = std::unique_ptr<T, GLibRelease>;

namespace glib {

// A GVariant reference owned by the holder.
using Variant = GLibHandle<GVariant>;

// Takes a floating reference, as g_variant_new() gives, or null.
inline Variant sink(GVariant* value) { return Variant(value ? g_variant_ref_sink(value) : nullptr); }

// The child at `index` of a container value.
inline Variant child(GVariant* container, gsize index) { return Variant(g_variant_get_child_value(container, index)); }

// The text of a string, object-path or signature value, copied out of it.
inline std::string text(GVariant* value) { return value ? std::string(g_variant_get_string(value, nullptr)) : std::string(); }

// A private D-Bus connection of the holder's own (not the shared session bus): closed,
// then released.
struct ConnectionClose {
    void operator()(GDBusConnection* connection) const {
        g_dbus_connection_close_sync(connection, nullptr, nullptr);
        g_object_unref(connection);
    }
};
using Connection = std::unique_ptr<GDBusConnection, ConnectionClose>;

} // namespace glib
} // namespace tavlin::platform
