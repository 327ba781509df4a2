#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavlin::platform {

// The installed applications' desktop entries, read through GIO.
struct DesktopEntries {
    struct Entry {
        std::string id;   // the entry's file name without ".desktop", e.g. "org.gnome.TextEditor"
        std::string name; // Name, localized for the current locale
        std::string icon; // Icon: a theme icon name or an absolute path; empty for none
    };

    // The entry named `id`.desktop.
    static std::optional<Entry> withId(std::string_view id);
    // The entry of a window's class: the one whose StartupWMClass is the class or the
    // instance name, else the one whose id is one of them, ignoring case.
    static std::optional<Entry> forWindowClass(std::string_view instance, std::string_view className);
    // The entry that starts this executable (an absolute path): the one whose Exec program
    // is that path or resolves to it through PATH, else the one whose Exec program has
    // the same file name. An interpreter or launcher (python3, env, sh, flatpak...) runs
    // many applications and names none.
    static std::optional<Entry> forExecutable(std::string_view path);
};

} // namespace tavlin::platform
