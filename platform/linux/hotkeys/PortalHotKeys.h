#pragma once

#include "platform/HotKeys.h"
#include "platform/linux/hotkeys/HotKeyHandlers.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <map>
#include <optional>
#include <string>

struct _GDBusConnection; // GLib's, kept out of this header: its names clash with Qt's keywords
struct _GVariant;
struct _GCancellable;
struct _GSource;

namespace tavlin::platform {

// Hot keys through the desktop portal's global shortcuts (org.freedesktop.portal.GlobalShortcuts),
// for Wayland sessions, where no client may grab keys. A registration opens a portal session
// and binds one shortcut with the key as its preferred trigger; the desktop may ask the user
// and may bind another key, or none. The portal's answers can take long (the user decides,
// or the portal hangs), so the registration runs on a worker thread of its own and
// registerHotKey() returns at once, accepted; what came of it is told later through
// onSettled(): it fails, as a refused grab does, when the portal is missing, refuses, times
// out or binds no key. Unregistering, or destroying the object, cancels a registration
// under way. Each Activated signal for the shortcut is one press for the installed
// handlers; the signals, and the outcome, arrive through the default GLib main context,
// which Qt's event loop runs on the main thread.
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

    // Why the last registration failed, in a few words; empty when it succeeded or is
    // still under way.
    const std::string& refusal() const { return refusal_; }
    // Called on the main thread once a registration has come to an end, with its refusal
    // (empty when the key is bound).
    void onSettled(std::function<void(const std::string& refusal)> settled) { settled_ = std::move(settled); }
    // Whether a registration is under way.
    bool pending() const { return worker_.joinable(); }

    // The trigger in the shortcuts notation the portal takes ("ALT+space"); none for a key or
    // modifier it can't name.
    static std::optional<std::string> trigger(std::uint32_t keyCode, std::uint32_t modifiers);

private:
    // What a registration came to, made on the worker and handed to the main thread.
    struct Attempt {
        _GDBusConnection* bus = nullptr; // held
        std::string session;             // the portal's session, when one was opened
        std::string refusal;             // empty when the key is bound
    };

    // The worker's: the whole exchange with the portal, nothing of the object's but its
    // constant options touched.
    // `bus` is held for it, or null: then it connects.
    Attempt attempt(_GDBusConnection* bus, const std::string& trigger, _GCancellable* cancellable) const;
    _GDBusConnection* connect(_GCancellable* cancellable) const;
    std::optional<std::string> openSession(_GDBusConnection* bus, _GCancellable* cancellable) const;
    bool bind(_GDBusConnection* bus, const std::string& session, const std::string& trigger,
              _GCancellable* cancellable) const;
    // The session's shortcuts as the portal lists them, or null.
    _GVariant* listShortcuts(_GDBusConnection* bus, const std::string& session, _GCancellable* cancellable) const;
    std::string nextToken() const;

    // The main thread's.
    void finish(); // takes the worker's attempt once it is done
    void cancel(); // ends a registration under way, and what it opened
    void adopt(Attempt attempt);
    void closeSession();
    void activated(const char* session, const char* shortcutId);

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
    mutable std::atomic<unsigned> nextToken_ = 0;
    std::string refusal_;
    std::function<void(const std::string&)> settled_;

    std::thread worker_;
    _GCancellable* cancellable_ = nullptr; // the registration under way's
    std::mutex mutex_;                     // guards the two below
    std::optional<Attempt> done_;          // the worker's result, until the main thread takes it
    _GSource* delivery_ = nullptr;         // the main context's call to finish()
};

} // namespace tavlin::platform
