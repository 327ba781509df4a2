#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// Where the desktop keeps its accessibility settings. The settings link that the shell
// opens is a link of our own: the window system answers it by starting the installed
// desktop's accessibility settings (GNOME, KDE or Xfce); the application identifiers are
// those its window will carry, so that it can be brought to the front.
struct AccessibilitySettings {
    struct Tool {
        std::string program;                     // looked up on PATH
        std::vector<std::string> arguments;
        std::vector<std::string> applicationIds; // as the window system reports them
        std::string desktop;                     // as named in XDG_CURRENT_DESKTOP
    };

    static constexpr std::string_view link = "x-tavlin-settings:accessibility";

    // Every known settings tool, whether installed or not.
    static const std::vector<Tool>& known();
    // The tool to start: the current desktop's when installed, else the first installed one.
    static std::optional<Tool> installed(std::string_view currentDesktop);
    // The identifiers to look for, the chosen tool's first, each once.
    static std::vector<std::string> applicationIds(std::string_view currentDesktop);
};

} // namespace tavlin::platform
