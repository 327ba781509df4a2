#include "platform/linux/AtspiReplies.h"

#include "platform/linux/GLibHandle.h"

#include <string_view>

namespace tavlin::platform::atspi {

using glib::child;
using glib::text;
using glib::Variant;

std::uint64_t AtspiReplies::states(GVariant* words) {
    std::uint64_t states = 0;
    const gsize count = g_variant_n_children(words);
    for (gsize i = 0; i < count && i < 2; ++i) {
        guint32 word = 0;
        g_variant_get_child(words, i, "u", &word);
        states |= static_cast<std::uint64_t>(word) << (32 * i);
    }
    return states;
}

std::vector<std::string> AtspiReplies::pathsOn(GVariant* references, const std::string& bus) {
    std::vector<std::string> paths;
    GVariantIter iter;
    g_variant_iter_init(&iter, references);
    const gchar* name = nullptr;
    const gchar* path = nullptr;
    while (g_variant_iter_next(&iter, "(&s&o)", &name, &path))
        if (bus == name) paths.emplace_back(path);
    return paths;
}

bool AtspiReplies::read(GVariant* reply, const std::string& bus, AtspiDetails::ByPath& objects) {
    const Variant list = child(reply, 0);
    GVariant* items = list.get();
    const std::string_view type = g_variant_get_type_string(items);
    // Each item: the object, its application, its parent, then (newer) its place among
    // the parent's children and their count, or (older) the list of its children; then
    // its interfaces, name, role, description and states.
    const bool counted = type == "a((so)(so)(so)iiassusau)";
    const bool listed = type == "a((so)(so)(so)a(so)assusau)";
    if (!counted && !listed) return false;
    const gsize nameAt = counted ? 6 : 5;
    const gsize count = g_variant_n_children(items);
    objects.reserve(objects.size() + count);
    // One field of an object reference "(so)" in the item.
    auto string = [](GVariant* item, gsize at, gsize field) { return text(child(child(item, at).get(), field).get()); };
    for (gsize i = 0; i < count; ++i) {
        const Variant held = child(items, i);
        GVariant* item = held.get();
        if (bus != string(item, 0, 0)) continue;
        AtspiDetails& details = objects[string(item, 0, 1)];
        details.known = true;
        details.name = text(child(item, nameAt).get());
        details.role = g_variant_get_uint32(child(item, nameAt + 1).get());
        details.states = states(child(item, nameAt + 3).get());
        details.statesKnown = true;
        if (bus == string(item, 2, 0)) details.parent = string(item, 2, 1);
        if (counted) details.index = g_variant_get_int32(child(item, 3).get());
    }
    return true;
}

} // namespace tavlin::platform::atspi
