#pragma once

#include "TavlinUI/ShortcutItem.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin {

// The always-available rows that hold on a Linux desktop: the editing keys every
// toolkit shares, the window manager's application switcher, the screenshot keys of
// the running desktop's defaults, and for GNOME Files, which has no menu bar to read,
// a few of its own keys. Keys are in the model's notation (⌘ is Ctrl,
// ⌥ Alt, ⇧ Shift, ⌃ Super), so that the merge pairs them with scanned rows.
struct LinuxCommonShortcuts {
    enum class Desktop { unknown, gnome, kde, xfce };

    // The desktop named by XDG_CURRENT_DESKTOP: the first entry of the colon-separated
    // list that we know, compared without regard to ASCII case.
    static Desktop desktop(std::string_view xdgCurrentDesktop);
    static constexpr std::string_view gnomeFilesIdentifier = "org.gnome.Nautilus";

    // The editing rows and the switcher, then the desktop's screenshot rows (none when
    // the desktop is unknown), then the file manager's rows when the target is GNOME
    // Files (its identifier exactly).
    static std::vector<ShortcutItem> items(Desktop desktop,
                                           const std::optional<std::string>& bundleIdentifier = std::nullopt);
};

} // namespace tavlin
