#pragma once

#include "TavlinUI/ShortcutItem.h"

#include <string_view>
#include <vector>

namespace tavlin {

// The always-available rows that hold on a Linux desktop: the editing keys every
// toolkit shares, the window manager's application switcher, and the screenshot keys
// of the running desktop's defaults. Keys are in the model's notation (⌘ is Ctrl,
// ⌥ Alt, ⇧ Shift, ⌃ Super), so that the merge pairs them with scanned rows.
struct LinuxCommonShortcuts {
    enum class Desktop { unknown, gnome, kde, xfce };

    // The desktop named by XDG_CURRENT_DESKTOP: the first entry of the colon-separated
    // list that we know, compared without regard to ASCII case.
    static Desktop desktop(std::string_view xdgCurrentDesktop);
    // The editing rows and the switcher, then the desktop's screenshot rows (none when
    // the desktop is unknown).
    static std::vector<ShortcutItem> items(Desktop desktop);
};

} // namespace tavlin
