#include "platform/linux/hotkeys/binding/SwayHotKeySetting.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <glib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <map>
#include <set>
#include <sstream>

namespace tavlin::platform {
namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trimmed(std::string_view text) {
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos) return {};
    return std::string(text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1));
}

// Replaces $variables, longest names first so that $mod doesn't eat $modifier.
std::string expanded(std::string text, const std::map<std::string, std::string>& variables) {
    std::vector<std::pair<std::string, std::string>> byLength(variables.begin(), variables.end());
    std::sort(byLength.begin(), byLength.end(),
              [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    for (const auto& [name, value] : byLength)
        for (auto at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
            text.replace(at, name.size(), value);
    return text;
}

bool isAltSpace(const std::string& combination) {
    std::set<std::string> modifiers;
    std::string key;
    std::istringstream parts(lowered(combination));
    for (std::string part; std::getline(parts, part, '+');) {
        if (!key.empty()) modifiers.insert(key);
        key = part;
    }
    return key == "space" && !modifiers.empty() &&
           std::all_of(modifiers.begin(), modifiers.end(), [](const std::string& m) { return m == "mod1" || m == "alt"; });
}

} // namespace

std::string SwayHotKeySetting::line(const std::string& command) {
    return "bindsym Mod1+space exec " + command;
}

namespace {

struct Binding {
    std::string written, expanded;
};

std::vector<Binding> altSpaceLines(std::string_view config) {
    std::map<std::string, std::string> variables;
    std::vector<Binding> bindings;
    int modeDepth = 0; // inside `mode "name" { ... }`, bindings hold only in that mode
    std::istringstream lines{std::string(config)};
    for (std::string raw; std::getline(lines, raw);) {
        const std::string line = trimmed(raw);
        if (line.empty() || line.front() == '#') continue;
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "mode" && line.back() == '{') ++modeDepth;
        else if (word == "}" && modeDepth > 0) --modeDepth;
        else if (word == "set") {
            std::string name;
            words >> name;
            variables[name] = trimmed(line.substr(line.find(name) + name.size()));
        } else if (word == "bindsym" && modeDepth == 0) {
            std::string combination;
            while (words >> combination && combination.starts_with("--")) {
            }
            if (isAltSpace(expanded(combination, variables))) bindings.push_back({line, expanded(line, variables)});
        }
    }
    return bindings;
}

using Argv = std::unique_ptr<gchar*, decltype(&g_strfreev)>;

Argv shellWords(const std::string& text) {
    gchar** argv = nullptr;
    if (!g_shell_parse_argv(text.c_str(), nullptr, &argv, nullptr)) argv = nullptr;
    return Argv(argv, &g_strfreev);
}

bool sameProgram(const char* written, const std::string& program) {
    if (program == written) return true;
    std::unique_ptr<gchar, decltype(&g_free)> found(g_find_program_in_path(written), &g_free);
    std::error_code error;
    return found && std::filesystem::equivalent(found.get(), program, error) && !error;
}

} // namespace

std::vector<std::string> SwayHotKeySetting::altSpaceBindings(std::string_view config) {
    std::vector<std::string> written;
    for (auto& binding : altSpaceLines(config)) written.push_back(std::move(binding.written));
    return written;
}

bool SwayHotKeySetting::runs(std::string_view binding, const std::string& program, std::string_view argument) {
    // bindsym [--flags] keys exec [--no-startup-id] command...
    std::istringstream words{std::string(binding)};
    std::string word;
    words >> word;
    if (word != "bindsym") return false;
    while (words >> word && word.starts_with("--")) {
    }
    if (!(words >> word) || word != "exec") return false;
    std::string command;
    std::getline(words, command);
    command = trimmed(command);
    while (command.starts_with("--")) {
        const auto space = command.find(' ');
        command = space == std::string::npos ? std::string{} : trimmed(command.substr(space));
    }
    auto argv = shellWords(command);
    // The whole command quoted as one word: sway hands it to the shell, which reads it again.
    if (argv && argv.get()[0] && !argv.get()[1] && std::string_view(argv.get()[0]).find(' ') != std::string_view::npos)
        argv = shellWords(argv.get()[0]);
    if (!argv || !argv.get()[0] || !argv.get()[1] || argv.get()[2]) return false;
    return argv.get()[1] == argument && sameProgram(argv.get()[0], program);
}

std::optional<std::string> SwayHotKeySetting::runningConfig() {
    QProcess swaymsg;
    swaymsg.start(QStringLiteral("swaymsg"), {QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_config")});
    if (!swaymsg.waitForFinished(5000) || swaymsg.exitStatus() != QProcess::NormalExit || swaymsg.exitCode() != 0)
        return std::nullopt;
    const auto reply = QJsonDocument::fromJson(swaymsg.readAllStandardOutput()).object();
    if (!reply.value(QStringLiteral("config")).isString()) return std::nullopt;
    return reply.value(QStringLiteral("config")).toString().toStdString();
}

HotKeySettingOutcome SwayHotKeySetting::bind(const std::string& program, const std::string& argument,
                                       const std::optional<std::string>& config) {
    std::unique_ptr<gchar, decltype(&g_free)> quoted(g_shell_quote(program.c_str()), &g_free);
    // sway's config is read line by line: a line break in the program's path would cut
    // the binding in two, the rest a command of its own.
    if (program.find_first_of("\r\n") != std::string::npos)
        return {HotKeySettingOutcome::Result::failed,
                "the path of this program holds a line break, which no line of sway's config can hold: "
                "install or link Tavlin where its path has none, then run `tavlin --bind-hot-key` again."};
    const std::string add = "add this line to ~/.config/sway/config, then run `swaymsg reload`:\n\n    " +
                            line(std::string(quoted.get()) + " " + argument) + "\n";
    const auto held = config ? altSpaceLines(*config) : std::vector<Binding>{};
    if (held.empty())
        return {HotKeySettingOutcome::Result::instructions, "sway takes key bindings from its config file: " + add};
    std::vector<std::string> others;
    for (const auto& binding : held)
        if (!runs(binding.expanded, program, argument)) others.push_back(binding.written);
    if (others.empty())
        return {HotKeySettingOutcome::Result::bound, "Alt+Space already runs Tavlin in sway's config:\n    " +
                                                      held.front().written};
    std::string message = "Alt+Space is taken in sway's config by:";
    for (const auto& binding : others) message += "\n    " + binding;
    return {HotKeySettingOutcome::Result::taken, message + "\nMove that binding to another key, then " + add};
}

} // namespace tavlin::platform
