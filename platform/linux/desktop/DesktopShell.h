#pragma once

#include <cstdint>
#include <string_view>

namespace tavlin::platform {

// The desktop's own programs: its shell, compositor, panels and bars. Their windows (the
// overview, the window switcher, a bar) take the keyboard for a moment but are no
// application whose shortcuts anyone looks for.
struct DesktopShell {
    // Whether the program at this path (or of this file name) is one of them.
    static bool isShellProgram(std::string_view executable);
    // Whether the process runs one of them; false when its program can't be read.
    static bool isShellProcess(std::int32_t pid);
};

} // namespace tavlin::platform
