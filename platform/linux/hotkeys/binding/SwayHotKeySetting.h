#pragma once

#include "platform/linux/hotkeys/binding/HotKeySettingOutcome.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// Alt+Space in sway, which takes key bindings only from its config file: the line to add,
// and the bindings of the running config that already hold the key.
struct SwayHotKeySetting {
    // The line that runs `command` on Alt+Space.
    static std::string line(const std::string& command);
    // The bindsym lines of a config (outside binding modes) whose keys are Alt+Space once
    // its variables are expanded, as written.
    static std::vector<std::string> altSpaceBindings(std::string_view config);
    // Whether a bindsym line (its variables expanded) runs `program` with `argument`:
    // the program by any path that leads to the same file or found through PATH, quoted
    // in any way the shell or sway takes.
    static bool runs(std::string_view binding, const std::string& program, std::string_view argument);
    // The running sway's config, through swaymsg; none when sway doesn't answer.
    static std::optional<std::string> runningConfig();
    // `bound` when the config already runs `program` `argument` on Alt+Space and nothing
    // else does; else instructions with the line to add, or `taken` naming the bindings
    // to change first.
    static HotKeySettingOutcome bind(const std::string& program, const std::string& argument,
                                  const std::optional<std::string>& config);
};

} // namespace tavlin::platform
