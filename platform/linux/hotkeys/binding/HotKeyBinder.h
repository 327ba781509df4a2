#pragma once

#include "platform/linux/hotkeys/binding/HotKeySettingOutcome.h"

#include <string>
#include <string_view>

namespace tavlin::platform {

// `tavlin --bind-hot-key`: binds Alt+Space to `tavlin --toggle` in the running desktop's own
// settings, for sessions where Tavlin can't get the key itself (Wayland without the
// global-shortcuts portal). GNOME and KDE are written to; sway is configured by hand, so it
// gets the line to add; X11 needs nothing.
struct HotKeyBinder {
    enum class Desktop { gnome, kde, sway, otherWayland, x11 };

    // The desktop from XDG_CURRENT_DESKTOP (a colon-separated list), whether the session is
    // Wayland, and whether a sway socket is advertised.
    static Desktop desktop(std::string_view currentDesktop, bool wayland, bool swaySocket);
    static HotKeySettingOutcome bind(Desktop desktop, const std::string& program);
    // Binds on the desktop of this session, prints the outcome, and returns the exit status:
    // 0 bound or instructions printed, 1 failed, 2 the key is taken.
    static int run(const std::string& program);
};

} // namespace tavlin::platform
