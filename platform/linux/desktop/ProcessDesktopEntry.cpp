#include "platform/linux/desktop/ProcessDesktopEntry.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

namespace tavlin::platform {
namespace {

constexpr std::string_view desktopSuffix = ".desktop";
constexpr std::size_t maxEnvironmentBytes = 1 << 20;

std::optional<std::string> idOfFile(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.size() <= desktopSuffix.size() || !name.ends_with(desktopSuffix)) return std::nullopt;
    name.remove_suffix(desktopSuffix.size());
    return std::string(name);
}

} // namespace

std::optional<std::string> ProcessDesktopEntry::launchedId(std::string_view environment, std::int32_t pid) {
    std::map<std::string_view, std::string_view, std::less<>> variables;
    while (!environment.empty()) {
        const std::size_t end = std::min(environment.find('\0'), environment.size());
        const std::string_view entry = environment.substr(0, end);
        environment.remove_prefix(std::min(end + 1, environment.size()));
        const std::size_t equals = entry.find('=');
        if (equals != std::string_view::npos) variables.emplace(entry.substr(0, equals), entry.substr(equals + 1));
    }
    const auto value = [&variables](std::string_view name) -> std::string_view {
        const auto it = variables.find(name);
        return it == variables.end() ? std::string_view{} : it->second;
    };
    if (value("GIO_LAUNCHED_DESKTOP_FILE_PID") == std::to_string(pid))
        if (auto id = idOfFile(value("GIO_LAUNCHED_DESKTOP_FILE"))) return id;
    return idOfFile(value("BAMF_DESKTOP_FILE_HINT"));
}

std::optional<std::string> ProcessDesktopEntry::launchedId(std::int32_t pid) {
    if (pid <= 0) return std::nullopt;
    std::ifstream file("/proc/" + std::to_string(pid) + "/environ", std::ios::binary);
    if (!file) return std::nullopt;
    std::string environment;
    environment.resize(maxEnvironmentBytes);
    file.read(environment.data(), std::streamsize(environment.size()));
    environment.resize(std::size_t(file.gcount()));
    return launchedId(environment, pid);
}

std::optional<std::string> ProcessDesktopEntry::executable(std::int32_t pid) {
    if (pid <= 0) return std::nullopt;
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
    if (error || path.empty()) return std::nullopt;
    std::string text = path.string();
    // A binary replaced by an update while it runs.
    constexpr std::string_view deleted = " (deleted)";
    if (text.ends_with(deleted)) text.resize(text.size() - deleted.size());
    return text;
}

std::vector<std::string> ProcessDesktopEntry::arguments(std::string_view commandLine) {
    std::vector<std::string> list;
    bool program = true;
    while (!commandLine.empty()) {
        const std::size_t end = std::min(commandLine.find('\0'), commandLine.size());
        if (!program) list.emplace_back(commandLine.substr(0, end));
        program = false;
        commandLine.remove_prefix(std::min(end + 1, commandLine.size()));
    }
    return list;
}

std::vector<std::string> ProcessDesktopEntry::arguments(std::int32_t pid) {
    if (pid <= 0) return {};
    std::ifstream file("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    if (!file) return {};
    std::string commandLine;
    commandLine.resize(maxEnvironmentBytes);
    file.read(commandLine.data(), std::streamsize(commandLine.size()));
    commandLine.resize(std::size_t(file.gcount()));
    return arguments(commandLine);
}

} // namespace tavlin::platform
