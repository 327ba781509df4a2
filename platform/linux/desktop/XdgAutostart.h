#pragma once

#include "platform/Autostart.h"

#include <string>
#include <vector>

namespace tavlin::platform {

// Start at login the freedesktop way: a desktop entry named tavlin.desktop in the
// "autostart" folder of the user's configuration directory. An entry of the same name in
// a system configuration directory starts Tavlin for every user; the user's own entry
// overrides it, and turns it off with Hidden=true.
class XdgAutostart final : public Autostart {
public:
    // `configHome` is $XDG_CONFIG_HOME, `configDirs` the system configuration directories
    // in order, `command` the value of the entry's Exec key.
    XdgAutostart(std::string configHome, std::vector<std::string> configDirs, std::string command);
    // The current user's directories, and `program` (the `tavlin` command's absolute
    // path): by name when that name finds this very program on the PATH, else by its path.
    static XdgAutostart forCurrentUser(const std::string& program);

    bool isEnabled() const override;
    bool setEnabled(bool enabled) override;
    std::string problem() const override { return problem_; }

    std::string userEntryPath() const;
    // `program` as one argument of an Exec key, quoted and escaped where it must be.
    static std::string execArgument(const std::string& program);
    // The Exec key that runs `program`. GLib looks for the first argument on disk before
    // it turns "%%" back into "%", so a program whose path holds a % is run through env.
    static std::string execLine(const std::string& program);

    static constexpr const char* entryName = "tavlin.desktop";

private:
    bool write(bool hidden);

    std::string configHome_;
    std::vector<std::string> configDirs_;
    std::string command_;
    std::string problem_;
};

} // namespace tavlin::platform
