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

    // Failure statuses.
    static constexpr Status paramErr = -50;               // a callback, key or modifier the service can't take
    static constexpr Status eventNotHandled = -9874;      // a press the handler did not take
    static constexpr Status eventHotKeyInvalidErr = -9876; // no such registration or handler
    static constexpr Status eventNotAvailableErr = -9877; // no service to bind with, or it bound no key
    static constexpr Status eventHotKeyExistsErr = -9878; // another client holds the combination

    struct HotKeyID {
        std::uint32_t signature; // four ASCII letters, the first in the top byte
        std::uint32_t id;
    };

    virtual ~HotKeys() = default;
    // Installs the press handler; `userData` is passed back to it unchanged.
    virtual std::pair<Status, HandlerRef> installEventHandler(Callback callback, void* userData) = 0;
    // Registers a virtual key code with a modifier mask (both in the terms of platform/Keys.h).
    virtual std::pair<Status, HotKeyRef> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                                        HotKeyID id, std::uint32_t options) = 0;
    virtual Status unregisterHotKey(HotKeyRef ref) = 0;
    virtual Status removeEventHandler(HandlerRef ref) = 0;
};

} // namespace tavlin::platform
