#pragma once

#include "platform/HotKeys.h"
#include "platform/linux/HotKeyHandlers.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>

struct _GDBusConnection; // GLib's, kept out of this header: its names clash with Qt's keywords
struct _GVariant;

namespace tavlin::platform {

// Hot keys through the desktop portal's global shortcuts (org.freedesktop.portal.GlobalShortcuts),
// for Wayland sessions, where no client may grab keys. A registration opens a portal session
// and binds one shortcut with the key as its preferred trigger; the desktop may ask the user
// and may bind another key, or none. The registration waits for the portal's answers, so it
// fails, as a refused grab does, when the portal is missing, refuses, times out or binds no key.
// Each Activated signal for the shortcut is one press for the installed handlers; the signals
// arrive through the thread's default GLib main context, which Qt's event loop runs.
class PortalHotKeys final : public HotKeys {
public:
    struct Options {
        std::string busAddress;                             // empty: the session bus
        std::chrono::milliseconds answerTimeout{10'000};    // for the portal's quick answers
        std::chrono::milliseconds bindTimeout{120'000};     // binding may wait for the user
    };

    // `shortcutId` names the shortcut to the desktop (keep it stable: the desktop remembers
    // the user's choice by it); `description` is what the desktop's settings show.
    PortalHotKeys(std::string appId, std::string shortcutId, std::string description, Options options);
    ~PortalHotKeys() override;
    PortalHotKeys(const PortalHotKeys&) = delete;
    PortalHotKeys& operator=(const PortalHotKeys&) = delete;

    std::pair<Status, HandlerRef> installEventHandler(Callback callback, void* userData) override;
    std::pair<Status, HotKeyRef> registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, HotKeyID id,
                                                std::uint32_t options) override;
    Status unregisterHotKey(HotKeyRef ref) override;
    Status removeEventHandler(HandlerRef ref) override;

    // Why the last registration failed, in a few words; empty when it succeeded.
    const std::string& refusal() const { return refusal_; }

    // The trigger in the shortcuts notation the portal takes ("ALT+space"); none for a key or
    // modifier it can't name.
    static std::optional<std::string> trigger(std::uint32_t keyCode, std::uint32_t modifiers);

private:

    bool connect();
    std::optional<std::string> openSession();
    bool bind(const std::string& trigger);
    _GVariant* listShortcuts(); // the session's shortcuts as the portal lists them, or null
    void closeSession();
    void activated(const char* session, const char* shortcutId);
    std::string nextToken();

    std::string appId_;
    std::string shortcutId_;
    std::string description_;
    Options options_;
    _GDBusConnection* bus_ = nullptr;
    std::string session_;
    unsigned activatedSubscription_ = 0;
    HotKeyHandlers handlers_;
    std::optional<HotKeyRef> registered_;
    std::uint64_t nextRef_ = 1;
    unsigned nextToken_ = 0;
    std::string refusal_;
};

} // namespace tavlin::platform
