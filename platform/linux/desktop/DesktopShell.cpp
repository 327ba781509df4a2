#include "platform/linux/desktop/DesktopShell.h"

#include "platform/linux/desktop/ProcessDesktopEntry.h"

#include <algorithm>
#include <iterator>

namespace tavlin::platform {

bool DesktopShell::isShellProgram(std::string_view executable) {
    static constexpr std::string_view shells[] = {
        "gnome-shell", "mutter",      "plasmashell", "kwin_wayland", "kwin_x11",     "sway",
        "swaybar",     "swaynag",     "waybar",      "i3bar",        "xfce4-panel",  "xfdesktop",
        "lxpanel",     "lxqt-panel",  "mate-panel",  "budgie-panel", "cinnamon",     "gnome-panel",
    };
    const std::string_view name = executable.substr(executable.rfind('/') + 1);
    return std::find(std::begin(shells), std::end(shells), name) != std::end(shells);
}

bool DesktopShell::isShellProcess(std::int32_t pid) {
    const auto executable = ProcessDesktopEntry::executable(pid);
    return executable && isShellProgram(*executable);
}

} // namespace tavlin::platform
