#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// The files of a running process that may hold its resources: its executable, the
// GResource files it has mapped, and the application's own shared objects it has mapped
// as code (in a folder named after the executable, or under the executable's own prefix
// when that is not the system's; the system's libraries hold their own resources).
struct ProcessResourceFiles {
    struct File {
        enum class Kind { elf, bundle } kind;
        std::string path; // a path this process can open
        friend bool operator==(const File&, const File&) = default;
    };
    static constexpr std::size_t mapsBytesLimit = 4u << 20;

    // The candidates in the order to search them: the executable (`executable`), then
    // the mapped ".gresource" files, then the application's own code mappings, each file
    // once, from the text of /proc/PID/maps.
    static std::vector<File> fromMaps(std::string_view maps, const std::string& executable);
    // The same for a process, read from /proc; none when it is gone or not ours to read.
    static std::vector<File> ofProcess(std::int32_t pid);
    // The process's executable as ofProcess gives it first; none when it is gone or not ours to read.
    static std::optional<File> executableFile(std::int32_t pid);
    // The real path of the process's executable, for naming it; empty when unknown.
    static std::string executablePath(std::int32_t pid);
};

} // namespace tavlin::platform
