#pragma once

#include <cstdlib>
#include <memory>

namespace tavlin::platform {

// Owns what xcb hands over to be released with free(): a reply, the error of a checked
// request, the key codes of a key symbol.
struct XcbFree {
    void operator()(void* memory) const { std::free(memory); }
};
template <class T> using XcbReply = std::unique_ptr<T, XcbFree>;

} // namespace tavlin::platform
