#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// Which desktop entry a running process was started from, as far as the process itself
// tells: the launcher's hint in its environment, else its executable.
struct ProcessDesktopEntry {
    // The desktop entry id named by a launch environment (NUL-separated NAME=VALUE, as in
    // /proc/PID/environ): GIO_LAUNCHED_DESKTOP_FILE when GIO_LAUNCHED_DESKTOP_FILE_PID is
    // this pid (a child of the launched process inherits both), else
    // BAMF_DESKTOP_FILE_HINT. The id is the file name without ".desktop".
    static std::optional<std::string> launchedId(std::string_view environment, std::int32_t pid);
    // The same read from /proc; none when the process is gone or not ours to read.
    static std::optional<std::string> launchedId(std::int32_t pid);
    // The path of the process's executable; none when it can't be read.
    static std::optional<std::string> executable(std::int32_t pid);
    // The arguments after the program in a command line (NUL-separated, as in
    // /proc/PID/cmdline); none for a process gone or not ours to read.
    static std::vector<std::string> arguments(std::string_view commandLine);
    static std::vector<std::string> arguments(std::int32_t pid);
};

} // namespace tavlin::platform
