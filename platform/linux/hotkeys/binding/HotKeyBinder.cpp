#include "platform/linux/hotkeys/binding/HotKeyBinder.h"

#include "platform/linux/hotkeys/binding/GnomeHotKeySetting.h"
#include "platform/linux/hotkeys/binding/KdeHotKeySetting.h"
#include "platform/linux/hotkeys/binding/SwayHotKeySetting.h"

#include <glib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tavlin::platform {
namespace {

constexpr const char* toggle = "--toggle";

std::string shellQuoted(const std::string& text) {
    std::unique_ptr<gchar, decltype(&g_free)> quoted(g_shell_quote(text.c_str()), &g_free);
    return quoted.get();
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

} // namespace

HotKeyBinder::Desktop HotKeyBinder::desktop(std::string_view currentDesktop, bool wayland, bool swaySocket) {
    while (!currentDesktop.empty()) {
        const auto colon = currentDesktop.find(':');
        const auto name = currentDesktop.substr(0, colon);
        if (equalsIgnoringCase(name, "GNOME")) return Desktop::gnome;
        if (equalsIgnoringCase(name, "KDE")) return Desktop::kde;
        if (equalsIgnoringCase(name, "sway")) return Desktop::sway;
        currentDesktop = colon == std::string_view::npos ? std::string_view{} : currentDesktop.substr(colon + 1);
    }
    if (swaySocket) return Desktop::sway;
    return wayland ? Desktop::otherWayland : Desktop::x11;
}

HotKeySettingOutcome HotKeyBinder::bind(Desktop desktop, const std::string& program) {
    using Result = HotKeySettingOutcome::Result;
    const std::string command = shellQuoted(program) + " " + toggle;
    switch (desktop) {
    case Desktop::gnome:
        return GnomeHotKeySetting::bind(command);
    case Desktop::kde:
        return KdeHotKeySetting::bind(program, toggle, std::string(g_get_user_data_dir()) + "/applications", {});
    case Desktop::sway:
        return SwayHotKeySetting::bind(program, toggle, SwayHotKeySetting::runningConfig());
    case Desktop::otherWayland:
        return {Result::instructions, "Tavlin does not know this desktop's settings. In its keyboard settings, bind "
                                      "Alt+Space to the command:\n\n    " + command};
    case Desktop::x11:
        return {Result::instructions, "On X11 Tavlin takes Alt+Space itself; there is nothing to bind. If the window "
                                      "manager holds the key, see \"Getting Alt+Space\" in the README."};
    }
    return {Result::failed, "unknown desktop"};
}

int HotKeyBinder::run(const std::string& program) {
    const char* current = std::getenv("XDG_CURRENT_DESKTOP");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* sway = std::getenv("SWAYSOCK");
    const auto outcome =
        bind(desktop(current ? current : "", wayland && *wayland, sway && *sway), program);
    switch (outcome.result) {
    case HotKeySettingOutcome::Result::bound:
    case HotKeySettingOutcome::Result::instructions:
        std::printf("%s\n", outcome.message.c_str());
        return 0;
    case HotKeySettingOutcome::Result::failed:
        std::fprintf(stderr, "tavlin: %s\n", outcome.message.c_str());
        return 1;
    case HotKeySettingOutcome::Result::taken:
        std::fprintf(stderr, "tavlin: %s\n", outcome.message.c_str());
        return 2;
    }
    return 1;
}

} // namespace tavlin::platform
