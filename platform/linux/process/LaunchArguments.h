#pragma once

#include <cstddef>

namespace tavlin::platform {

// Which command lines the `tavlin` launcher hands to a running Tavlin itself, without
// starting the Qt program: --toggle and URLs, nothing else. It reads them as the Qt
// program's CommandLine does and hands over what that program's forwardedArguments()
// would: "--toggle" when given, then "--" and the URLs. Anything else (no argument, an
// option of either kind, a dash-led word after "--") is the Qt program's to answer.
// Written against libc alone: no allocation, the strings stay the caller's.
class LaunchArguments {
public:
    // `arguments` are argv without the program's name.
    static LaunchArguments read(int count, const char* const* arguments);

    // Whether the launcher may hand this command line over itself.
    bool forwardable() const { return forwardable_; }
    bool toggle() const { return toggle_; }
    std::size_t urlCount() const { return urlCount_; }

    // What goes to the running instance, in order: `count()` strings, `at(i)` each; empty
    // unless forwardable().
    std::size_t count() const;
    const char* at(std::size_t index) const;

private:
    const char* const* arguments_ = nullptr;
    int argumentCount_ = 0;
    bool forwardable_ = false;
    bool toggle_ = false;
    std::size_t urlCount_ = 0;
};

} // namespace tavlin::platform
