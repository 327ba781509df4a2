#pragma once

#include "platform/HotKeys.h"
#include "platform/linux/hotkeys/HotKeyHandlers.h"

#include <QAbstractNativeEventFilter>
#include <xcb/xcb.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavlin::platform {

// Hot keys as passive key grabs on the root window. A registration grabs the key with
// its modifiers, once per combination of the lock keys (Caps Lock, Num Lock) so that it
// fires whatever their state; when the X server refuses any of the grabs (another client
// holds the combination), the registration fails and grabs nothing. Presses reach the
// installed handlers through Qt's native event filter, one call per press: the key's
// auto-repeat does not fire again until the key has been released.
class XcbHotKeys final : public HotKeys, private QAbstractNativeEventFilter {
public:
    XcbHotKeys(xcb_connection_t* connection, xcb_window_t root);
    ~XcbHotKeys() override;
    XcbHotKeys(const XcbHotKeys&) = delete;
    XcbHotKeys& operator=(const XcbHotKeys&) = delete;

    std::pair<Status, HandlerRef> installEventHandler(Callback callback, void* userData) override;
    std::pair<Status, HotKeyRef> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id,
                                                std::uint32_t options) override;
    Status unregisterHotKey(HotKeyRef ref) override;
    Status removeEventHandler(HandlerRef ref) override;

    // Why the last registration failed, in a few words ("another program holds Alt+Space");
    // empty when it succeeded.
    const std::string& refusal() const { return refusal_; }

    // The X modifier mask of a hot-key modifier mask; nullopt when it names a modifier X lacks.
    static std::optional<std::uint16_t> modifierMask(std::uint32_t modifiers);

private:
    struct Grab {
        std::vector<xcb_keycode_t> keycodes;
        std::uint16_t modifiers;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    std::vector<std::uint16_t> lockVariants() const;
    void ungrab(const Grab& grab, std::size_t variants);

    xcb_connection_t* connection_;
    xcb_window_t root_;
    std::uint16_t numLockMask_;
    HotKeyHandlers handlers_;
    std::map<HotKeyRef, Grab> grabs_;
    std::set<xcb_keycode_t> held_;
    std::uint64_t nextRef_ = 1;
    std::string refusal_;
};

} // namespace tavlin::platform
