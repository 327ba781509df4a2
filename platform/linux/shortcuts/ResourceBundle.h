#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tavlin::platform {

// A GResource bundle (an ELF section ".gresource.*" or a ".gresource" file) opened with
// GLib, searched for the UI file of the application's shortcuts window.
struct ResourceBundle {
    struct Limits {
        std::size_t bundleBytes = 64u << 20; // the bundle
        std::size_t fileBytes = 2u << 20;    // one UI file
        std::size_t entries = 20000;         // resource paths looked at
        std::size_t depth = 32;              // nesting of resource folders
    };
    // The text of the UI file that describes the application's GtkShortcutsWindow: the
    // first file named help-overlay.ui (where GtkApplication looks for it) that holds one,
    // else the one other UI file that does. None when the bundle isn't one, or holds no
    // such file, or several others (a collection of examples, not the application's own).
    static std::optional<std::string> shortcutsWindowFile(std::string bundle, const Limits& limits);
};

} // namespace tavlin::platform
