#include "platform/linux/process/LaunchArguments.h"

#include <cstring>

namespace tavlin::platform {
namespace {

bool isUrl(const char* argument) {
    return argument[0] != '-';
}

} // namespace

LaunchArguments LaunchArguments::read(int count, const char* const* arguments) {
    LaunchArguments result;
    result.arguments_ = arguments;
    result.argumentCount_ = count;
    bool afterMarker = false;
    for (int i = 0; i < count; ++i) {
        const char* argument = arguments[i];
        if (isUrl(argument))
            ++result.urlCount_;
        else if (!afterMarker && std::strcmp(argument, "--toggle") == 0)
            result.toggle_ = true;
        else if (!afterMarker && std::strcmp(argument, "--") == 0)
            afterMarker = true;
        else
            return {}; // an option, or a dash-led URL: the Qt program reads those
    }
    result.forwardable_ = result.toggle_ || result.urlCount_ > 0;
    if (!result.forwardable_) return {};
    return result;
}

std::size_t LaunchArguments::count() const {
    if (!forwardable_) return 0;
    return (toggle_ ? 1 : 0) + (urlCount_ > 0 ? 1 + urlCount_ : 0);
}

const char* LaunchArguments::at(std::size_t index) const {
    if (toggle_) {
        if (index == 0) return "--toggle";
        --index;
    }
    if (index == 0) return "--";
    --index;
    for (int i = 0; i < argumentCount_; ++i)
        if (isUrl(arguments_[i]) && index-- == 0) return arguments_[i];
    return nullptr;
}

} // namespace tavlin::platform
