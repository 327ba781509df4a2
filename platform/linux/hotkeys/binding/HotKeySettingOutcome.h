#pragma once

#include <string>

namespace tavlin::platform {

// What binding Alt+Space in a desktop's own settings came to, with the text for the user.
struct HotKeySettingOutcome {
    enum class Result {
        bound,        // the key now runs the command
        instructions, // the desktop is configured by hand: `message` says what to add
        taken,        // written or not, another binding holds the key: `message` says how to free it
        failed,       // nothing to write to: `message` says why
    };
    Result result;
    std::string message;
};

} // namespace tavlin::platform
