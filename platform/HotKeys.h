#pragma once

#include <cstdint>
#include <utility>

namespace tavlin::platform {

// The desktop's hot-key service, shaped like the classic event-manager calls: an
// event handler that receives hot-key presses, and hot-key registrations.
class HotKeys {
public:
    using Status = std::int32_t;                 // 0 is success
    using HandlerRef = std::uint64_t;
    using HotKeyRef = std::uint64_t;
    using Callback = Status (*)(void* userData); // called once per press
    static constexpr Status eventNotHandled = -9874;

    struct HotKeyID {
        std::uint32_t signature; // four ASCII letters, the first in the top byte
        std::uint32_t id;
    };

    virtual ~HotKeys() = default;
    // Installs the press handler; `userData` is passed back to it unchanged.
    virtual std::pair<Status, HandlerRef> installEventHandler(Callback callback, void* userData) = 0;
    // Registers a key code with a modifier mask (2048 is Option/Alt).
    virtual std::pair<Status, HotKeyRef> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                                        HotKeyID id, std::uint32_t options) = 0;
    virtual Status unregisterHotKey(HotKeyRef ref) = 0;
    virtual Status removeEventHandler(HandlerRef ref) = 0;
};

} // namespace tavlin::platform
