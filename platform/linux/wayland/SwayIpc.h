#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavlin::platform {

// sway's command socket ($SWAYSOCK): runs commands the way `swaymsg` does.
struct SwayIpc {
    // Runs one sway command (e.g. "[pid=42] focus") on the socket at `socketPath`; true
    // when sway answers that every command in it succeeded. Waits at most `timeoutMs`.
    static bool runCommand(const std::string& socketPath, std::string_view command, int timeoutMs = 500);
    // The app_id of the process's window in sway's tree (for an XWayland window, its
    // WM_CLASS class); empty when sway doesn't say. Waits at most `timeoutMs`.
    static std::string appId(const std::string& socketPath, std::int32_t pid, int timeoutMs = 200);
    // The socket of the session's sway, or empty outside sway.
    static std::string sessionSocket();
};

} // namespace tavlin::platform
