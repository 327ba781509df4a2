#pragma once

#include "platform/linux/hotkeys/binding/HotKeySettingOutcome.h"

#include <string>

namespace tavlin::platform {

// Alt+Space as a KDE global shortcut: a hidden desktop entry running the command, registered
// with kglobalaccel over D-Bus as a component of its own, whose launch action gets the key.
// This is how KDE's own settings bind a command to a key.
struct KdeHotKeySetting {
    static constexpr const char* desktopFile = "tavlin-toggle.desktop";
    static constexpr const char* launchAction = "_launch";

    // `program` is the path of the executable, run with `arguments`; `applicationsDir` is
    // where the desktop entry goes (the user's applications directory); `busAddress` empty
    // is the session bus.
    static HotKeySettingOutcome bind(const std::string& program, const std::string& arguments,
                                  const std::string& applicationsDir, const std::string& busAddress);
    // The Exec line for a program path and its (already quoted) arguments, quoted as desktop
    // entries require.
    static std::string execLine(const std::string& program, const std::string& arguments);
};

} // namespace tavlin::platform
