#pragma once

#include <gio/gio.h>

#include <memory>
#include <string>

namespace tavlin::platform::glib {

// Owning handles for the GLib values the accessibility code holds, each released the one
// right way when it goes out of scope.

struct VariantUnref {
    void operator()(GVariant* value) const { g_variant_unref(value); }
};
// A GVariant reference owned by the holder.
using Variant = std::unique_ptr<GVariant, VariantUnref>;

// Takes a floating reference, as g_variant_new() gives, or null.
inline Variant sink(GVariant* value) { return Variant(value ? g_variant_ref_sink(value) : nullptr); }

// The child at `index` of a container value.
inline Variant child(GVariant* container, gsize index) { return Variant(g_variant_get_child_value(container, index)); }

// The text of a string, object-path or signature value, copied out of it.
inline std::string text(GVariant* value) { return value ? std::string(g_variant_get_string(value, nullptr)) : std::string(); }

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

// A D-Bus connection owned by the holder: closed, then released. A connection shared
// with other holders is held as a plain object reference (ObjectUnref) instead.
struct ConnectionClose {
    void operator()(GDBusConnection* connection) const {
        g_dbus_connection_close_sync(connection, nullptr, nullptr);
        g_object_unref(connection);
    }
};
using Connection = std::unique_ptr<GDBusConnection, ConnectionClose>;

} // namespace tavlin::platform::glib
