#include "platform/linux/shortcuts/ProcessResourceFiles.h"

#include <glib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

namespace tavlin::platform {
namespace {

std::string procPath(std::int32_t pid, std::string_view leaf) {
    return "/proc/" + std::to_string(pid) + "/" + std::string(leaf);
}

// Whether a shared object is the application's own rather than one of the system's
// libraries (a toolkit's, which many programs map and whose resources are its own): it
// lies in a folder named after the executable (/usr/lib/x86_64-linux-gnu/gedit/), or
// under the executable's own prefix when that is not the system's (/opt/app, /app).
bool applicationsOwn(std::string_view path, const std::string& executable) {
    const std::filesystem::path program(executable);
    const std::string name = program.filename().string();
    if (!name.empty()) {
        const std::string folder = "/" + name + "/";
        if (path.find(folder) != std::string_view::npos) return true;
    }
    const std::filesystem::path bin = program.parent_path();
    if (bin.filename() != "bin") return false;
    const std::string prefix = bin.parent_path().string();
    if (prefix.empty() || prefix == "/" || prefix == "/usr" || prefix == "/usr/local") return false;
    return path.starts_with(prefix + "/");
}

} // namespace

std::vector<ProcessResourceFiles::File> ProcessResourceFiles::fromMaps(std::string_view maps,
                                                                       const std::string& executable) {
    std::vector<File> bundles, objects;
    std::set<std::string_view> seen;
    while (!maps.empty()) {
        const std::size_t newline = maps.find('\n');
        std::string_view line = maps.substr(0, newline);
        maps.remove_prefix(newline == std::string_view::npos ? maps.size() : newline + 1);
        // address perms offset dev inode path: the path starts at the first '/' after the
        // five fields; "[heap]", anonymous and deleted mappings have none to open.
        std::size_t field = 0, at = 0;
        for (; field < 5 && at < line.size(); ++field) {
            at = line.find(' ', at);
            if (at == std::string_view::npos) break;
            at = line.find_first_not_of(' ', at);
        }
        if (field < 5 || at == std::string_view::npos || line[at] != '/') continue;
        const std::string_view path = line.substr(at);
        if (path.ends_with(" (deleted)")) continue;
        const std::size_t permsAt = line.find(' ');
        const std::string_view perms = line.substr(permsAt + 1, 4);
        const bool bundle = path.ends_with(".gresource");
        if (!bundle && (perms.size() < 3 || perms[2] != 'x' || !applicationsOwn(path, executable))) continue;
        if (!seen.insert(path).second) continue;
        (bundle ? bundles : objects).push_back({bundle ? File::Kind::bundle : File::Kind::elf, std::string(path)});
    }
    std::vector<File> files;
    files.reserve(1 + bundles.size() + objects.size());
    if (!executable.empty()) files.push_back({File::Kind::elf, executable});
    const auto notTheExecutable = [&executable](const File& file) { return file.path != executable; };
    std::copy_if(bundles.begin(), bundles.end(), std::back_inserter(files), notTheExecutable);
    std::copy_if(objects.begin(), objects.end(), std::back_inserter(files), notTheExecutable);
    return files;
}

std::vector<ProcessResourceFiles::File> ProcessResourceFiles::ofProcess(std::int32_t pid) {
    if (pid <= 0) return {};
    std::ifstream in(procPath(pid, "maps"), std::ios::binary);
    if (!in) {
        g_debug("process %d: its maps can't be read", pid);
        return {};
    }
    std::string maps;
    maps.resize(mapsBytesLimit);
    in.read(maps.data(), static_cast<std::streamsize>(maps.size()));
    maps.resize(static_cast<std::size_t>(in.gcount()));
    // Mappings are listed by address: past the limit only a line is cut, and it is dropped.
    if (maps.size() == mapsBytesLimit) maps.erase(maps.rfind('\n') == std::string::npos ? 0 : maps.rfind('\n'));
    const std::string executable = executablePath(pid);
    auto files = fromMaps(maps, executable);
    // The executable is opened through /proc, which reaches it in the process's own
    // mount namespace (a sandbox) too, and after it was replaced on disk.
    if (!executable.empty()) files.front().path = procPath(pid, "exe");
    return files;
}

std::optional<ProcessResourceFiles::File> ProcessResourceFiles::executableFile(std::int32_t pid) {
    if (pid <= 0 || executablePath(pid).empty()) return std::nullopt;
    return File{File::Kind::elf, procPath(pid, "exe")};
}

std::string ProcessResourceFiles::executablePath(std::int32_t pid) {
    std::error_code error;
    const auto target = std::filesystem::read_symlink(procPath(pid, "exe"), error);
    return error ? std::string() : target.string();
}

} // namespace tavlin::platform
