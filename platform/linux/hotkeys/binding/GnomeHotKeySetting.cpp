#include "platform/linux/hotkeys/binding/GnomeHotKeySetting.h"

#include "platform/linux/common/GLibHandle.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace tavlin::platform {
namespace {

constexpr const char* ourName = "Tavlin: show shortcuts";
constexpr const char* ourBinding = "<Alt>space";

using Settings = GLibHandle<GSettings>;
using Variant = GLibHandle<GVariant>;
using Strv = GLibHandle<gchar*>;
using Schema = GLibHandle<GSettingsSchema>;

Schema lookup(const char* id) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    return Schema(source ? g_settings_schema_source_lookup(source, id, TRUE) : nullptr);
}

std::string shellQuoted(const std::string& text) {
    std::unique_ptr<gchar, decltype(&g_free)> quoted(g_shell_quote(text.c_str()), &g_free);
    return quoted.get();
}

// The bindings GNOME's shell, window manager and settings daemon hold: every installed
// schema of keybindings, and the media keys.
bool holdsKeybindings(std::string_view id) {
    return id == GnomeHotKeySetting::mediaKeysSchema || id.ends_with(".keybindings");
}

// A path GSettings takes for a relocatable schema (anything else in the list would abort).
bool isSettingsPath(std::string_view path) {
    return path.size() > 1 && path.starts_with('/') && path.ends_with('/') && path.find("//") == std::string_view::npos;
}

// The command line that sets a list, quoted for the shell; GVariant's text of a list of
// accelerators needs only double quotes.
std::string listArgument(const char* printed) {
    const std::string_view text(printed);
    if (text.find_first_of("\"$`\\!") != std::string_view::npos) return shellQuoted(printed);
    std::string quoted(1, '"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
}

} // namespace

bool GnomeHotKeySetting::isAltSpace(std::string_view accelerator) {
    bool alt = false;
    while (accelerator.starts_with('<')) {
        const auto close = accelerator.find('>');
        if (close == std::string_view::npos) return false;
        std::string modifier(accelerator.substr(1, close - 1));
        std::transform(modifier.begin(), modifier.end(), modifier.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (modifier != "alt" && modifier != "mod1") return false; // another modifier: another key
        alt = true;
        accelerator.remove_prefix(close + 1);
    }
    return alt && xkb_keysym_from_name(std::string(accelerator).c_str(), XKB_KEYSYM_CASE_INSENSITIVE) == XKB_KEY_space;
}

std::vector<std::string> GnomeHotKeySetting::freeingCommands() {
    std::vector<std::string> commands;
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source) return commands;
    gchar** fixedIds = nullptr;
    g_settings_schema_source_list_schemas(source, TRUE, &fixedIds, nullptr);
    Strv ids(fixedIds);
    for (gchar** id = ids.get(); id && *id; ++id) {
        if (!holdsKeybindings(*id)) continue;
        Schema schema = lookup(*id);
        Settings settings(g_settings_new_full(schema.get(), nullptr, nullptr));
        Strv keys(g_settings_schema_list_keys(schema.get()));
        for (gchar** key = keys.get(); *key; ++key) {
            Variant value(g_settings_get_value(settings.get(), *key));
            if (g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING)) {
                if (isAltSpace(g_variant_get_string(value.get(), nullptr)))
                    commands.push_back(std::string("gsettings set ") + *id + " " + *key + " ''");
            } else if (g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING_ARRAY)) {
                Strv accelerators(g_variant_dup_strv(value.get(), nullptr));
                GStrvBuilder* rest = g_strv_builder_new();
                bool held = false;
                for (gchar** a = accelerators.get(); *a; ++a) {
                    if (isAltSpace(*a)) held = true;
                    else g_strv_builder_add(rest, *a);
                }
                Strv remaining(g_strv_builder_end(rest));
                g_strv_builder_unref(rest);
                if (!held) continue;
                Variant list(g_variant_ref_sink(g_variant_new_strv(remaining.get(), -1)));
                std::unique_ptr<gchar, decltype(&g_free)> printed(g_variant_print(list.get(), FALSE), &g_free);
                commands.push_back(std::string("gsettings set ") + *id + " " + *key + " " + listArgument(printed.get()));
            }
        }
    }
    // Other custom keybindings (GNOME's Settings makes these) on the same key.
    if (!lookup(mediaKeysSchema) || !lookup(customSchema)) return commands;
    Settings mediaKeys(g_settings_new(mediaKeysSchema));
    Strv paths(g_settings_get_strv(mediaKeys.get(), "custom-keybindings"));
    for (gchar** path = paths.get(); *path; ++path) {
        if (std::string_view(*path) == customPath || !isSettingsPath(*path)) continue;
        Settings custom(g_settings_new_with_path(customSchema, *path));
        std::unique_ptr<gchar, decltype(&g_free)> binding(g_settings_get_string(custom.get(), "binding"), &g_free);
        if (isAltSpace(binding.get()))
            commands.push_back(std::string("gsettings set ") + customSchema + ":" + *path + " binding ''");
    }
    return commands;
}

HotKeySettingOutcome GnomeHotKeySetting::bind(const std::string& command, GSettingsBackend* backend) {
    using Result = HotKeySettingOutcome::Result;
    if (!lookup(mediaKeysSchema) || !lookup(customSchema))
        return {Result::failed, "GNOME's keyboard settings (" + std::string(mediaKeysSchema) +
                                    ") are not installed, so there is nowhere to bind Alt+Space."};
    const auto freeing = freeingCommands();

    Schema custom = lookup(customSchema);
    Schema media = lookup(mediaKeysSchema);
    Settings ours(g_settings_new_full(custom.get(), backend, customPath));
    Settings mediaKeys(g_settings_new_full(media.get(), backend, nullptr));
    // Every write is checked: a store that can't be written (a read-only ~/.config, a
    // locked key) refuses it here, or drops it by the time it is read back below.
    std::string refused;
    const auto write = [&refused](GSettings* settings, const char* key, bool written) {
        if (written || !refused.empty()) return;
        gchar* path = nullptr;
        g_object_get(settings, "path", &path, nullptr);
        refused = std::string(path ? path : "") + key +
                  (g_settings_is_writable(settings, key) ? " was refused" : " is not writable");
        g_free(path);
    };
    write(ours.get(), "name", g_settings_set_string(ours.get(), "name", ourName));
    write(ours.get(), "command", g_settings_set_string(ours.get(), "command", command.c_str()));
    write(ours.get(), "binding", g_settings_set_string(ours.get(), "binding", ourBinding));
    Strv paths(g_settings_get_strv(mediaKeys.get(), "custom-keybindings"));
    if (!g_strv_contains(paths.get(), customPath)) {
        GStrvBuilder* builder = g_strv_builder_new();
        g_strv_builder_addv(builder, const_cast<const char**>(paths.get()));
        g_strv_builder_add(builder, customPath);
        Strv extended(g_strv_builder_end(builder));
        g_strv_builder_unref(builder);
        write(mediaKeys.get(), "custom-keybindings",
              g_settings_set_strv(mediaKeys.get(), "custom-keybindings", extended.get()));
    }
    g_settings_sync(); // the settings daemon's backend writes asynchronously, and drops what it can't store

    const auto stored = [&ours](const char* key, const std::string& expected) {
        std::unique_ptr<gchar, decltype(&g_free)> value(g_settings_get_string(ours.get(), key), &g_free);
        return value && expected == value.get();
    };
    Strv listed(g_settings_get_strv(mediaKeys.get(), "custom-keybindings"));
    if (refused.empty() && !(stored("name", ourName) && stored("command", command) && stored("binding", ourBinding) &&
                             g_strv_contains(listed.get(), customPath)))
        refused = "reading it back, the settings store did not keep it";
    if (!refused.empty())
        return {Result::failed, "GNOME's settings did not store the custom shortcut (" + refused +
                                    "): is the settings folder (~/.config) read-only?"};

    const std::string done = "GNOME custom shortcut \"" + std::string(ourName) + "\": Alt+Space runs " + command + ".";
    if (freeing.empty()) return {Result::bound, done};
    std::string message = done + "\nBut Alt+Space is already taken, and GNOME keeps it there. Free it with:";
    for (const auto& c : freeing) message += "\n  " + c;
    return {Result::taken, message};
}

} // namespace tavlin::platform
