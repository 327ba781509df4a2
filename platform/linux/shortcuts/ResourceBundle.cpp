#include "platform/linux/shortcuts/ResourceBundle.h"

#include "platform/linux/shortcuts/ShortcutsWindowFile.h"

#include <gio/gio.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

namespace tavlin::platform {
namespace {

struct ResourceUnref {
    void operator()(GResource* resource) const { g_resource_unref(resource); }
};

// Every path in the bundle that names a UI file, folder by folder, within the limits.
void uiFiles(GResource* resource, const std::string& folder, std::size_t depth, const ResourceBundle::Limits& limits,
             std::size_t& entriesLeft, std::vector<std::string>& into) {
    if (depth > limits.depth) return;
    gchar** children = g_resource_enumerate_children(resource, folder.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    if (!children) return;
    for (gchar** child = children; *child && entriesLeft > 0; ++child) {
        --entriesLeft;
        const std::string path = folder + *child;
        if (path.ends_with('/'))
            uiFiles(resource, path, depth + 1, limits, entriesLeft, into);
        else if (path.ends_with(".ui"))
            into.push_back(path);
    }
    g_strfreev(children);
}

std::optional<std::string> contents(GResource* resource, const std::string& path, const ResourceBundle::Limits& limits) {
    gsize size = 0;
    guint32 flags = 0;
    if (!g_resource_get_info(resource, path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, &size, &flags, nullptr) ||
        size > limits.fileBytes)
        return std::nullopt;
    GBytes* bytes = g_resource_lookup_data(resource, path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    if (!bytes) return std::nullopt;
    gsize length = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &length));
    std::optional<std::string> text;
    if (length <= limits.fileBytes) text.emplace(data ? data : "", data ? length : 0);
    g_bytes_unref(bytes);
    return text;
}

} // namespace

std::optional<std::string> ResourceBundle::shortcutsWindowFile(std::string bundle, const Limits& limits) {
    // A bundle starts with GVDB's signature; anything else is not looked into.
    constexpr std::string_view signature = "GVariant";
    if (bundle.size() > limits.bundleBytes || !std::string_view(bundle).starts_with(signature)) return std::nullopt;
    auto* held = new std::string(std::move(bundle));
    GBytes* bytes = g_bytes_new_with_free_func(held->data(), held->size(),
                                               [](gpointer data) { delete static_cast<std::string*>(data); }, held);
    GError* error = nullptr;
    const std::unique_ptr<GResource, ResourceUnref> resource(g_resource_new_from_data(bytes, &error));
    g_bytes_unref(bytes);
    if (!resource) {
        g_debug("not a resource bundle: %s", error ? error->message : "?");
        if (error) g_error_free(error);
        return std::nullopt;
    }
    std::vector<std::string> files;
    std::size_t entriesLeft = limits.entries;
    uiFiles(resource.get(), "/", 0, limits, entriesLeft, files);
    const auto others = std::stable_partition(files.begin(), files.end(), [](const std::string& path) {
        return path.ends_with("/help-overlay.ui");
    });
    for (auto path = files.begin(); path != others; ++path) {
        auto text = contents(resource.get(), *path, limits);
        if (text && ShortcutsWindowFile::mentionsShortcutsWindow(*text)) return text;
    }
    // Elsewhere one shortcuts window is the application's; several are a collection of
    // examples (a toolkit's demonstration holds other programs' windows), none of them its own.
    std::optional<std::string> found;
    for (auto path = others; path != files.end(); ++path) {
        auto text = contents(resource.get(), *path, limits);
        if (!text || !ShortcutsWindowFile::mentionsShortcutsWindow(*text)) continue;
        if (found) {
            g_debug("several shortcuts windows beside %s: none taken", path->c_str());
            return std::nullopt;
        }
        found = std::move(text);
    }
    return found;
}

} // namespace tavlin::platform
