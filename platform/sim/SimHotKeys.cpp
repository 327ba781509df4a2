#include "platform/sim/SimHotKeys.h"

#include <vector>

namespace tavlin::platform::sim {

namespace {
constexpr HotKeys::Status noError = 0;
} // namespace

std::pair<HotKeys::Status, HotKeys::HandlerRef> SimHotKeys::installEventHandler(Callback callback, void* userData) {
    if (refuseHandlers_ || callback == nullptr) return {paramErr, 0};
    const HandlerRef ref = nextRef_++;
    handlers_[ref] = {callback, userData};
    return {noError, ref};
}

std::pair<HotKeys::Status, HotKeys::HotKeyRef> SimHotKeys::registerHotKey(std::uint32_t keyCode,
                                                                          std::uint32_t modifiers, HotKeyID id,
                                                                          std::uint32_t options) {
    if (refuseRegistrations_) return {eventHotKeyExistsErr, 0};
    for (const auto& [ref, registration] : registrations_)
        if (registration.keyCode == keyCode && registration.modifiers == modifiers) return {eventHotKeyExistsErr, 0};
    const HotKeyRef ref = nextRef_++;
    registrations_[ref] = {keyCode, modifiers, id, options};
    return {noError, ref};
}

HotKeys::Status SimHotKeys::unregisterHotKey(HotKeyRef ref) {
    if (registrations_.erase(ref) == 0) return eventHotKeyInvalidErr;
    ++unregistered_;
    return noError;
}

HotKeys::Status SimHotKeys::removeEventHandler(HandlerRef ref) {
    if (handlers_.erase(ref) == 0) return eventHotKeyInvalidErr;
    ++removed_;
    return noError;
}

bool SimHotKeys::press(std::uint32_t keyCode, std::uint32_t modifiers) {
    bool registered = false;
    for (const auto& [ref, registration] : registrations_)
        registered = registered || (registration.keyCode == keyCode && registration.modifiers == modifiers);
    if (!registered) return false;
    // A snapshot: a handler may remove itself or others while it runs.
    std::vector<std::pair<HandlerRef, Handler>> chain(handlers_.rbegin(), handlers_.rend());
    for (const auto& [ref, handler] : chain) {
        if (handlers_.count(ref) == 0) continue;
        if (handler.callback(handler.userData) == noError) return true;
    }
    return false;
}

} // namespace tavlin::platform::sim
