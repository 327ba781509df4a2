#pragma once

#include "platform/HotKeys.h"

#include <cstddef>
#include <map>

namespace tavlin::platform::sim {

// In-memory hot keys: records handlers and registrations, can refuse either, and can
// press a registered combination.
class SimHotKeys : public HotKeys {
public:
    struct Handler {
        Callback callback;
        void* userData;
    };
    struct Registration {
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        HotKeyID id;
        std::uint32_t options;
    };

    void refuseHandlers(bool refuse) { refuseHandlers_ = refuse; }
    void refuseRegistrations(bool refuse) { refuseRegistrations_ = refuse; }

    // Presses a combination. When it is registered, the installed handlers are called,
    // newest first, until one handles the press; returns whether one did.
    bool press(std::uint32_t keyCode, std::uint32_t modifiers);

    const std::map<HandlerRef, Handler>& handlers() const { return handlers_; }
    const std::map<HotKeyRef, Registration>& registrations() const { return registrations_; }
    std::size_t unregisterCount() const { return unregistered_; }
    std::size_t removeCount() const { return removed_; }

    std::pair<Status, HandlerRef> installEventHandler(Callback callback, void* userData) override;
    std::pair<Status, HotKeyRef> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id,
                                                std::uint32_t options) override;
    Status unregisterHotKey(HotKeyRef ref) override;
    Status removeEventHandler(HandlerRef ref) override;

private:
    std::map<HandlerRef, Handler> handlers_;
    std::map<HotKeyRef, Registration> registrations_;
    std::uint64_t nextRef_ = 1;
    bool refuseHandlers_ = false;
    bool refuseRegistrations_ = false;
    std::size_t unregistered_ = 0, removed_ = 0;
};

} // namespace tavlin::platform::sim
