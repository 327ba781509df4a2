#include "Tavlin/GlobalHotKey.h"

namespace tavlin {

GlobalHotKey::GlobalHotKey(platform::HotKeys& hotKeys, Action action)
    : hotKeys_(hotKeys), action_(std::move(action)) {}

std::unique_ptr<GlobalHotKey> GlobalHotKey::make(platform::HotKeys& hotKeys, std::uint32_t keyCode,
                                                 std::uint32_t modifiers, Action action) {
    std::unique_ptr<GlobalHotKey> hotKey(new GlobalHotKey(hotKeys, std::move(action)));
    const auto [handlerStatus, handlerRef] = hotKeys.installEventHandler(&GlobalHotKey::pressed, hotKey.get());
    if (handlerStatus != 0) return nullptr;
    hotKey->handlerRef_ = handlerRef;
    const auto [status, hotKeyRef] =
        hotKeys.registerHotKey(keyCode, modifiers, {signature, identifier}, registrationOptions);
    if (status != 0) return nullptr; // the destructor removes the handler
    hotKey->hotKeyRef_ = hotKeyRef;
    return hotKey;
}

GlobalHotKey::~GlobalHotKey() {
    if (hotKeyRef_) hotKeys_.unregisterHotKey(*hotKeyRef_);
    if (handlerRef_) hotKeys_.removeEventHandler(*handlerRef_);
}

platform::HotKeys::Status GlobalHotKey::pressed(void* userData) {
    if (userData == nullptr) return platform::HotKeys::eventNotHandled;
    // A copy, so that an action that ends the object still runs to its end.
    const Action action = static_cast<GlobalHotKey*>(userData)->action_;
    if (action) action();
    return 0;
}

} // namespace tavlin
