#pragma once

// GLib's headers go before Qt's, whose "signals" keyword clashes with them.
#include <gio/gio.h>

#include <memory>

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

// An owning handle of one GLib object (for a string array, T is gchar*).
template <class T> using GLibHandle = std::unique_ptr<T, GLibRelease>;

} // namespace tavlin::platform
