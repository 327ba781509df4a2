#include "platform/linux/atspi/bus/AtspiReplies.h"

#include <string_view>
#include <utility>

namespace tavlin::platform::atspi {

namespace {

// Reads values of a libdbus message in place, one after another; a value of another
// type than asked for gives nothing and leaves the reader where it is.
class Fields {
public:
    explicit Fields(DBusMessageIter& iter) : iter_(iter) {}

    const char* text() { return basic<const char*>(DBUS_TYPE_STRING, DBUS_TYPE_OBJECT_PATH, nullptr); }
    template <class T> T number(int type) { return basic<T>(type, type, T{}); }
    // An "(so)": its bus name and path, or empty strings.
    std::pair<std::string_view, std::string_view> reference() {
        if (dbus_message_iter_get_arg_type(&iter_) != DBUS_TYPE_STRUCT) return {};
        DBusMessageIter inner;
        dbus_message_iter_recurse(&iter_, &inner);
        dbus_message_iter_next(&iter_);
        Fields fields(inner);
        const char* bus = fields.text();
        const char* path = fields.text();
        return {bus ? bus : "", path ? path : ""};
    }
    // The words of an "au", as states.
    std::uint64_t states() {
        std::uint64_t states = 0;
        if (dbus_message_iter_get_arg_type(&iter_) == DBUS_TYPE_ARRAY) {
            DBusMessageIter words;
            dbus_message_iter_recurse(&iter_, &words);
            for (int i = 0; i < 2 && dbus_message_iter_get_arg_type(&words) == DBUS_TYPE_UINT32; ++i) {
                dbus_uint32_t word = 0;
                dbus_message_iter_get_basic(&words, &word);
                states |= static_cast<std::uint64_t>(word) << (32 * i);
                dbus_message_iter_next(&words);
            }
        }
        dbus_message_iter_next(&iter_);
        return states;
    }
    void skip() { dbus_message_iter_next(&iter_); }

private:
    template <class T> T basic(int type, int otherType, T none) {
        const int at = dbus_message_iter_get_arg_type(&iter_);
        if (at != type && at != otherType) return none;
        T value{};
        dbus_message_iter_get_basic(&iter_, &value);
        dbus_message_iter_next(&iter_);
        return value;
    }

    DBusMessageIter& iter_;
};

// The reader of a reply's only value, when the reply's values are `signature`.
std::optional<Fields> only(DBusMessage* reply, const char* signature, DBusMessageIter& iter) {
    if (!reply || !dbus_message_has_signature(reply, signature) || !dbus_message_iter_init(reply, &iter)) return std::nullopt;
    return Fields(iter);
}

// The same of the value inside a reply's only value, a variant holding `type`.
std::optional<Fields> inVariant(DBusMessage* reply, int type, DBusMessageIter& held) {
    DBusMessageIter iter;
    if (!only(reply, "v", iter)) return std::nullopt;
    dbus_message_iter_recurse(&iter, &held);
    if (dbus_message_iter_get_arg_type(&held) != type) return std::nullopt;
    return Fields(held);
}

} // namespace

std::vector<AtspiReplies::Reference> AtspiReplies::references(DBusMessage* reply) {
    std::vector<Reference> references;
    DBusMessageIter iter, list;
    if (!only(reply, "a(so)", iter)) return references;
    dbus_message_iter_recurse(&iter, &list);
    Fields fields(list);
    while (dbus_message_iter_get_arg_type(&list) == DBUS_TYPE_STRUCT) {
        const auto [bus, path] = fields.reference();
        references.emplace_back(bus, path);
    }
    return references;
}

std::vector<std::string> AtspiReplies::pathsOn(DBusMessage* reply, const std::string& bus) {
    std::vector<std::string> paths;
    for (auto& [name, path] : references(reply))
        if (name == bus) paths.push_back(std::move(path));
    return paths;
}

std::optional<std::string> AtspiReplies::text(DBusMessage* reply) {
    DBusMessageIter iter;
    std::optional<Fields> fields = only(reply, "s", iter);
    if (!fields) return std::nullopt;
    return std::string(fields->text());
}

std::optional<std::uint32_t> AtspiReplies::number(DBusMessage* reply) {
    DBusMessageIter iter;
    std::optional<Fields> fields = only(reply, "u", iter);
    if (!fields) return std::nullopt;
    return fields->number<dbus_uint32_t>(DBUS_TYPE_UINT32);
}

std::optional<std::uint64_t> AtspiReplies::states(DBusMessage* reply) {
    DBusMessageIter iter;
    std::optional<Fields> fields = only(reply, "au", iter);
    if (!fields) return std::nullopt;
    return fields->states();
}

std::optional<std::string> AtspiReplies::textInVariant(DBusMessage* reply) {
    DBusMessageIter held;
    std::optional<Fields> fields = inVariant(reply, DBUS_TYPE_STRING, held);
    if (!fields) return std::nullopt;
    return std::string(fields->text());
}

std::optional<bool> AtspiReplies::truthInVariant(DBusMessage* reply) {
    DBusMessageIter held;
    std::optional<Fields> fields = inVariant(reply, DBUS_TYPE_BOOLEAN, held);
    if (!fields) return std::nullopt;
    return fields->number<dbus_bool_t>(DBUS_TYPE_BOOLEAN) != FALSE;
}

bool AtspiReplies::read(DBusMessage* reply, const std::string& bus, AtspiDetails::ByPath& objects) {
    // Each item: the object, its application, its parent, then (newer) its place among
    // the parent's children and their count, or (older) the list of its children; then
    // its interfaces, name, role, description and states.
    const bool counted = dbus_message_has_signature(reply, "a((so)(so)(so)iiassusau)");
    const bool listed = dbus_message_has_signature(reply, "a((so)(so)(so)a(so)assusau)");
    DBusMessageIter iter, list;
    if ((!counted && !listed) || !dbus_message_iter_init(reply, &iter)) return false;
    dbus_message_iter_recurse(&iter, &list);
    while (dbus_message_iter_get_arg_type(&list) == DBUS_TYPE_STRUCT) {
        DBusMessageIter item;
        dbus_message_iter_recurse(&list, &item);
        dbus_message_iter_next(&list);
        Fields fields(item);
        const auto [objectBus, path] = fields.reference();
        if (objectBus != bus) continue;
        fields.skip(); // the application
        const auto [parentBus, parent] = fields.reference();
        int index = -1;
        if (counted) {
            index = fields.number<dbus_int32_t>(DBUS_TYPE_INT32);
            fields.skip(); // the count of children
        } else {
            fields.skip(); // the children
        }
        fields.skip(); // the interfaces
        const char* name = fields.text();
        const std::uint32_t role = fields.number<dbus_uint32_t>(DBUS_TYPE_UINT32);
        fields.skip(); // the description
        AtspiDetails& details = objects[std::string(path)];
        details.known = true;
        details.name = name ? name : "";
        details.role = role;
        details.states = fields.states();
        details.statesKnown = true;
        if (parentBus == bus) details.parent = std::string(parent);
        if (counted) details.index = index;
    }
    return true;
}

} // namespace tavlin::platform::atspi
