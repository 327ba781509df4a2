#pragma once

#include <string>

namespace tavlin::platform {

// Whether the desktop starts the program when the user logs in.
class Autostart {
public:
    virtual ~Autostart() = default;
    // Whether the next session would start the program, as the desktop's settings say now.
    virtual bool isEnabled() const = 0;
    // Turns the start at login on or off; false when the setting could not be changed.
    virtual bool setEnabled(bool enabled) = 0;
    // Why the last setEnabled() failed, in one sentence for the user.
    virtual std::string problem() const { return {}; }
};

} // namespace tavlin::platform
