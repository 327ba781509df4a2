#pragma once

#include "platform/linux/KeyBindingOutcome.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// Alt+Space in sway, which takes key bindings only from its config file: the line to add,
// and the bindings of the running config that already hold the key.
struct SwayKeyBinding {
    // The line that runs `command` on Alt+Space.
    static std::string line(const std::string& command);
    // The bindsym lines of a config (outside binding modes) whose keys are Alt+Space once
    // its variables are expanded, as written.
    static std::vector<std::string> altSpaceBindings(std::string_view config);
    // The running sway's config, through swaymsg; none when sway doesn't answer.
    static std::optional<std::string> runningConfig();
    // Instructions with the line to add, or `taken` naming the bindings to change first.
    static KeyBindingOutcome bind(const std::string& command, const std::optional<std::string>& config);
};

} // namespace tavlin::platform
