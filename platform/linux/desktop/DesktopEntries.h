#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// The installed applications' desktop entries, read through GIO.
//
// An application often has several entries: its own, and others that start the same
// program for one task ("settings", "new window", one module of a suite). The one that
// names the application is chosen as the desktop chooses it: by the ids the application
// gives itself, then by the program it runs.
struct DesktopEntries {
    struct Entry {
        std::string id;   // the entry's file name without ".desktop", e.g. "org.gnome.TextEditor"
        std::string name; // Name, localized for the current locale
        std::string icon; // Icon: a theme icon name or an absolute path; empty for none
    };

    // What a running application tells of itself, the surest first.
    struct Clues {
        // The ids it gives itself: its Wayland app_id where the compositor says it, its
        // GTK application id, its X11 window class (instance and class) or its name on
        // the accessibility bus.
        std::vector<std::string> ids;
        std::string executable;             // the absolute path of its program; empty when unknown
        std::vector<std::string> arguments; // its command line after the program
    };

    // The entry named `id`.desktop.
    static std::optional<Entry> withId(std::string_view id);
    // The entry of an application: for the first of its ids that names one, the entry
    // with that id, else the one whose StartupWMClass is that id, else the one whose id
    // is that id ignoring case or ends with "." and that id; else the entry that starts
    // its executable (see forExecutable).
    static std::optional<Entry> forApplication(const Clues& clues);
    // The entry of a window's class: the one whose StartupWMClass is the class or the
    // instance name, else the one whose id is one of them, ignoring case.
    static std::optional<Entry> forWindowClass(std::string_view instance, std::string_view className);
    // The entry that starts this executable (an absolute path) with these arguments.
    // Among the entries whose Exec program is that path, resolves to it through PATH or
    // has the same file name (in that order of preference), the first of:
    //  - an entry whose own arguments (field codes aside) the process was started with,
    //    the most of them first ("libreoffice --writer" for LibreOffice Writer);
    //  - an entry with no arguments beyond field codes;
    //  - any other;
    // each time preferring one shown in this desktop (OnlyShowIn/NotShowIn against
    // XDG_CURRENT_DESKTOP, NoDisplay). An interpreter or launcher (python3, env, sh,
    // flatpak...) runs many applications and names none.
    static std::optional<Entry> forExecutable(std::string_view path, const std::vector<std::string>& arguments = {});
};

} // namespace tavlin::platform
