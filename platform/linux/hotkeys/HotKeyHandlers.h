#pragma once

#include "platform/HotKeys.h"

#include <map>
#include <utility>
#include <vector>

namespace tavlin::platform {

// The press handlers installed at a hot-key adapter, and the calling of them on a press.
class HotKeyHandlers {
public:
    std::pair<HotKeys::Status, HotKeys::HandlerRef> install(HotKeys::Callback callback, void* userData) {
        if (!callback) return {HotKeys::paramErr, 0};
        const HotKeys::HandlerRef ref = nextRef_++;
        handlers_.emplace(ref, Handler{callback, userData});
        return {0, ref};
    }
    HotKeys::Status remove(HotKeys::HandlerRef ref) { return handlers_.erase(ref) ? 0 : HotKeys::paramErr; }
    // Calls every handler once. They are copied first: a handler may install or remove handlers.
    void pressed() const {
        std::vector<Handler> handlers;
        for (const auto& [ref, handler] : handlers_) handlers.push_back(handler);
        for (const auto& handler : handlers) handler.callback(handler.userData);
    }

private:
    struct Handler {
        HotKeys::Callback callback;
        void* userData;
    };
    std::map<HotKeys::HandlerRef, Handler> handlers_;
    HotKeys::HandlerRef nextRef_ = 1;
};

} // namespace tavlin::platform
