#pragma once

#include "platform/HotKeys.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace tavlin {

// One system-wide hot-key registration that runs an action on every press. The
// registration and its press handler live exactly as long as the object.
class GlobalHotKey {
public:
    using Action = std::function<void()>;

    // 'TVLN', the program's own hot-key signature.
    static constexpr std::uint32_t signature = (std::uint32_t{'T'} << 24) | (std::uint32_t{'V'} << 16) |
                                               (std::uint32_t{'L'} << 8) | std::uint32_t{'N'};
    static constexpr std::uint32_t identifier = 1;
    static constexpr std::uint32_t registrationOptions = 0;

    // Installs the press handler and registers the key; none when the service refuses
    // either (a handler installed before a refused registration is removed again).
    static std::unique_ptr<GlobalHotKey> make(platform::HotKeys& hotKeys, std::uint32_t keyCode,
                                              std::uint32_t modifiers, Action action);
    // Unregisters the key, then removes the handler.
    ~GlobalHotKey();

    GlobalHotKey(const GlobalHotKey&) = delete;
    GlobalHotKey& operator=(const GlobalHotKey&) = delete;

    // The press handler given to the service; `userData` is the object or null.
    static platform::HotKeys::Status pressed(void* userData);

private:
    GlobalHotKey(platform::HotKeys& hotKeys, Action action);

    platform::HotKeys& hotKeys_;
    std::optional<platform::HotKeys::HotKeyRef> hotKeyRef_;
    std::optional<platform::HotKeys::HandlerRef> handlerRef_;
    Action action_;
};

} // namespace tavlin
