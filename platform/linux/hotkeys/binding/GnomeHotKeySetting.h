#pragma once

#include "platform/linux/hotkeys/binding/HotKeySettingOutcome.h"

#include <gio/gio.h>

#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// Alt+Space as a GNOME custom keybinding (settings daemon's media keys, in GSettings), and
// the other GNOME bindings that already hold it.
struct GnomeHotKeySetting {
    static constexpr const char* mediaKeysSchema = "org.gnome.settings-daemon.plugins.media-keys";
    static constexpr const char* customSchema = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
    static constexpr const char* customPath = "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/tavlin/";

    // Writes (or rewrites) Tavlin's custom keybinding running `command` and lists it among
    // the custom keybindings, in `backend` (null: the user's settings), and reads it back;
    // fails with the cause when the store did not keep it. Reports a binding elsewhere
    // that holds Alt+Space.
    static HotKeySettingOutcome bind(const std::string& command, GSettingsBackend* backend = nullptr);
    // The commands that free Alt+Space: one `gsettings set` per other binding holding it.
    static std::vector<std::string> freeingCommands();
    // Whether a GTK accelerator ("<Alt>space", "<Mod1>Space") is exactly Alt+Space.
    static bool isAltSpace(std::string_view accelerator);
};

} // namespace tavlin::platform
