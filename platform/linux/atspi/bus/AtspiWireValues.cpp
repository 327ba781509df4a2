#include "platform/linux/atspi/bus/AtspiWireValues.h"

#include <vector>

namespace tavlin::platform::atspi {
namespace {

GVariant* value(DBusMessageIter* iter);

// The values at `iter` up to the end of its container.
bool values(DBusMessageIter* iter, std::vector<GVariant*>& into) {
    for (int type; (type = dbus_message_iter_get_arg_type(iter)) != DBUS_TYPE_INVALID; dbus_message_iter_next(iter)) {
        GVariant* next = value(iter);
        if (!next) {
            for (GVariant* done : into) g_variant_unref(g_variant_ref_sink(done));
            into.clear();
            return false;
        }
        into.push_back(next);
    }
    return true;
}

template <class T> T basic(DBusMessageIter* iter) {
    T result{};
    dbus_message_iter_get_basic(iter, &result);
    return result;
}

// The value at `iter`, floating, or null.
GVariant* value(DBusMessageIter* iter) {
    switch (dbus_message_iter_get_arg_type(iter)) {
    case DBUS_TYPE_BYTE: return g_variant_new_byte(basic<unsigned char>(iter));
    case DBUS_TYPE_BOOLEAN: return g_variant_new_boolean(basic<dbus_bool_t>(iter));
    case DBUS_TYPE_INT16: return g_variant_new_int16(basic<dbus_int16_t>(iter));
    case DBUS_TYPE_UINT16: return g_variant_new_uint16(basic<dbus_uint16_t>(iter));
    case DBUS_TYPE_INT32: return g_variant_new_int32(basic<dbus_int32_t>(iter));
    case DBUS_TYPE_UINT32: return g_variant_new_uint32(basic<dbus_uint32_t>(iter));
    case DBUS_TYPE_INT64: return g_variant_new_int64(basic<dbus_int64_t>(iter));
    case DBUS_TYPE_UINT64: return g_variant_new_uint64(basic<dbus_uint64_t>(iter));
    case DBUS_TYPE_DOUBLE: return g_variant_new_double(basic<double>(iter));
    // libdbus checked the texts of a message it read: valid UTF-8, paths and signatures.
    case DBUS_TYPE_STRING: return g_variant_new_string(basic<const char*>(iter));
    case DBUS_TYPE_OBJECT_PATH: return g_variant_new_object_path(basic<const char*>(iter));
    case DBUS_TYPE_SIGNATURE: return g_variant_new_signature(basic<const char*>(iter));
    case DBUS_TYPE_VARIANT: {
        DBusMessageIter inside;
        dbus_message_iter_recurse(iter, &inside);
        GVariant* held = value(&inside);
        return held ? g_variant_new_variant(held) : nullptr;
    }
    case DBUS_TYPE_ARRAY: {
        char* signature = dbus_message_iter_get_signature(iter);
        const bool known = g_variant_type_string_is_valid(signature);
        GVariantBuilder builder;
        if (known) g_variant_builder_init(&builder, G_VARIANT_TYPE(signature));
        dbus_free(signature);
        if (!known) return nullptr;
        DBusMessageIter inside;
        dbus_message_iter_recurse(iter, &inside);
        std::vector<GVariant*> items;
        if (!values(&inside, items)) {
            g_variant_builder_clear(&builder);
            return nullptr;
        }
        for (GVariant* item : items) g_variant_builder_add_value(&builder, item);
        return g_variant_builder_end(&builder);
    }
    case DBUS_TYPE_STRUCT:
    case DBUS_TYPE_DICT_ENTRY: {
        const bool entry = dbus_message_iter_get_arg_type(iter) == DBUS_TYPE_DICT_ENTRY;
        DBusMessageIter inside;
        dbus_message_iter_recurse(iter, &inside);
        std::vector<GVariant*> items;
        if (!values(&inside, items)) return nullptr;
        if (entry && items.size() == 2) return g_variant_new_dict_entry(items[0], items[1]);
        if (entry || items.empty()) {
            for (GVariant* item : items) g_variant_unref(g_variant_ref_sink(item));
            return nullptr;
        }
        return g_variant_new_tuple(items.data(), items.size());
    }
    default: return nullptr;
    }
}

} // namespace

namespace {

// Appends one value: a string, an object path, a number, a truth value, or a variant of one.
bool appendValue(DBusMessageIter* iter, GVariant* value) {
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING) || g_variant_is_of_type(value, G_VARIANT_TYPE_OBJECT_PATH)) {
        const char* text = g_variant_get_string(value, nullptr);
        return dbus_message_iter_append_basic(
            iter, g_variant_is_of_type(value, G_VARIANT_TYPE_STRING) ? DBUS_TYPE_STRING : DBUS_TYPE_OBJECT_PATH, &text);
    }
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_INT32)) {
        const dbus_int32_t number = g_variant_get_int32(value);
        return dbus_message_iter_append_basic(iter, DBUS_TYPE_INT32, &number);
    }
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_UINT32)) {
        const dbus_uint32_t number = g_variant_get_uint32(value);
        return dbus_message_iter_append_basic(iter, DBUS_TYPE_UINT32, &number);
    }
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN)) {
        const dbus_bool_t truth = g_variant_get_boolean(value);
        return dbus_message_iter_append_basic(iter, DBUS_TYPE_BOOLEAN, &truth);
    }
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT)) {
        GVariant* inner = g_variant_get_variant(value);
        DBusMessageIter held;
        bool appended = dbus_message_iter_open_container(iter, DBUS_TYPE_VARIANT, g_variant_get_type_string(inner), &held);
        if (appended) {
            appended = appendValue(&held, inner);
            if (appended)
                appended = dbus_message_iter_close_container(iter, &held);
            else
                dbus_message_iter_abandon_container(iter, &held);
        }
        g_variant_unref(inner);
        return appended;
    }
    return false;
}

} // namespace

bool AtspiWireValues::append(DBusMessage* message, GVariant* tuple) {
    DBusMessageIter iter;
    dbus_message_iter_init_append(message, &iter);
    const gsize count = g_variant_n_children(tuple);
    for (gsize i = 0; i < count; ++i) {
        GVariant* child = g_variant_get_child_value(tuple, i);
        const bool appended = appendValue(&iter, child);
        g_variant_unref(child);
        if (!appended) return false;
    }
    return true;
}

GVariant* AtspiWireValues::body(DBusMessage* message) {
    DBusMessageIter iter;
    std::vector<GVariant*> items;
    if (dbus_message_iter_init(message, &iter) && !values(&iter, items)) return nullptr;
    return g_variant_ref_sink(g_variant_new_tuple(items.data(), items.size()));
}

} // namespace tavlin::platform::atspi
