#include "platform/linux/hotkeys/XcbHotKeys.h"

#include "platform/Keys.h"
#include "platform/ShowTiming.h"
#include "platform/linux/common/XcbReply.h"
#include "platform/linux/hotkeys/HotKeyKeys.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <xcb/xcb_keysyms.h>

#include <X11/keysym.h>

#include <array>
#include <memory>

// The refusals are details: the program says once, on stderr, why it has no hot key.
Q_LOGGING_CATEGORY(lcX11HotKeys, "tavlin.hotkeys.x11", QtInfoMsg)

namespace tavlin::platform {
namespace {

constexpr std::uint16_t relevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

using KeySymbols = std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)>;

// The modifier bit that carries Num Lock on this server (Mod2 on nearly every layout).
std::uint16_t findNumLockMask(xcb_connection_t* connection) {
    KeySymbols symbols(xcb_key_symbols_alloc(connection), &xcb_key_symbols_free);
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!symbols || !mapping) return XCB_MOD_MASK_2;
    XcbReply<xcb_keycode_t> numLock(xcb_key_symbols_get_keycode(symbols.get(), XK_Num_Lock));
    if (!numLock) return XCB_MOD_MASK_2;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            for (const xcb_keycode_t* k = numLock.get(); *k != XCB_NO_SYMBOL; ++k)
                if (codes[modifier * perModifier + i] == *k) return static_cast<std::uint16_t>(1u << modifier);
    return XCB_MOD_MASK_2;
}

} // namespace

XcbHotKeys::XcbHotKeys(xcb_connection_t* connection, xcb_window_t root)
    : connection_(connection), root_(root), numLockMask_(connection ? findNumLockMask(connection) : std::uint16_t(XCB_MOD_MASK_2)) {
    if (auto* app = QCoreApplication::instance()) app->installNativeEventFilter(this);
}

XcbHotKeys::~XcbHotKeys() {
    for (const auto& [ref, grab] : grabs_) ungrab(grab, lockVariants().size());
    if (connection_) xcb_flush(connection_);
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

std::optional<std::uint16_t> XcbHotKeys::modifierMask(std::uint32_t modifiers) {
    // Command is Ctrl, Option is Alt, Control is Super: the key notation's own mapping.
    using Modifier = Keys::HotKeyModifier;
    if (modifiers & ~Modifier::all) return std::nullopt;
    std::uint16_t mask = 0;
    if (modifiers & Modifier::command) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Modifier::shift) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Modifier::option) mask |= XCB_MOD_MASK_1;
    if (modifiers & Modifier::control) mask |= XCB_MOD_MASK_4;
    return mask;
}

std::vector<std::uint16_t> XcbHotKeys::lockVariants() const {
    return {0, XCB_MOD_MASK_LOCK, numLockMask_, static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numLockMask_)};
}

void XcbHotKeys::ungrab(const Grab& grab, std::size_t variants) {
    if (!connection_) return;
    const auto locks = lockVariants();
    for (std::size_t v = 0; v < variants && v < locks.size(); ++v)
        for (xcb_keycode_t keycode : grab.keycodes)
            xcb_ungrab_key(connection_, keycode, root_, static_cast<std::uint16_t>(grab.modifiers | locks[v]));
}

std::pair<HotKeys::Status, HotKeys::HandlerRef> XcbHotKeys::installEventHandler(Callback callback, void* userData) {
    return handlers_.install(callback, userData);
}

std::pair<HotKeys::Status, HotKeys::HotKeyRef> XcbHotKeys::registerHotKey(std::uint32_t keyCode,
                                                                          std::uint32_t modifiers, HotKeyID,
                                                                          std::uint32_t) {
    const std::uint32_t sym = HotKeyKeys::keysym(keyCode);
    const auto mask = modifierMask(modifiers);
    const std::string wanted = HotKeyKeys::combination(keyCode, modifiers);
    refusal_.clear();
    if (!connection_ || sym == 0 || !mask) {
        refusal_ = connection_ ? "X11 has no equivalent of " + wanted : "no X11 display";
        qCDebug(lcX11HotKeys) << "can't grab" << wanted.c_str() << ":" << refusal_.c_str();
        return {paramErr, 0};
    }

    Grab grab{{}, *mask};
    {
        KeySymbols symbols(xcb_key_symbols_alloc(connection_), &xcb_key_symbols_free);
        XcbReply<xcb_keycode_t> codes(symbols ? xcb_key_symbols_get_keycode(symbols.get(), sym) : nullptr);
        for (const xcb_keycode_t* k = codes.get(); k && *k != XCB_NO_SYMBOL; ++k) grab.keycodes.push_back(*k);
    }
    if (grab.keycodes.empty()) {
        refusal_ = "the keyboard has no key for " + wanted;
        qCDebug(lcX11HotKeys) << "can't grab" << wanted.c_str() << ":" << refusal_.c_str();
        return {paramErr, 0};
    }

    // Checked requests: a refused grab (BadAccess) is reported here, not as a stray error.
    const auto locks = lockVariants();
    for (std::size_t v = 0; v < locks.size(); ++v) {
        std::vector<xcb_void_cookie_t> cookies;
        for (xcb_keycode_t keycode : grab.keycodes)
            cookies.push_back(xcb_grab_key_checked(connection_, 1, root_,
                                                   static_cast<std::uint16_t>(grab.modifiers | locks[v]), keycode,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        bool refused = false;
        for (auto cookie : cookies)
            if (XcbReply<xcb_generic_error_t> error{xcb_request_check(connection_, cookie)}) refused = true;
        if (refused) {
            ungrab(grab, v + 1);
            xcb_flush(connection_);
            refusal_ = "another program (often the window manager) holds " + wanted;
            qCDebug(lcX11HotKeys) << "the X server refused the grab of" << wanted.c_str()
                                    << "with lock modifiers" << locks[v] << ":" << refusal_.c_str();
            return {eventHotKeyExistsErr, 0};
        }
    }
    const HotKeyRef ref = nextRef_++;
    grabs_.emplace(ref, std::move(grab));
    return {0, ref};
}

HotKeys::Status XcbHotKeys::unregisterHotKey(HotKeyRef ref) {
    auto it = grabs_.find(ref);
    if (it == grabs_.end()) return paramErr;
    ungrab(it->second, lockVariants().size());
    if (connection_) xcb_flush(connection_);
    grabs_.erase(it);
    return 0;
}

HotKeys::Status XcbHotKeys::removeEventHandler(HandlerRef ref) {
    return handlers_.remove(ref);
}

bool XcbHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || grabs_.empty()) return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    for (const auto& [ref, grab] : grabs_) {
        const bool sameKey = std::find(grab.keycodes.begin(), grab.keycodes.end(), key->detail) != grab.keycodes.end();
        if (!sameKey) continue;
        if (type == XCB_KEY_RELEASE) {
            // The release ends a press that began as a hot key, even if a modifier went first.
            return held_.erase(key->detail) > 0;
        }
        if ((key->state & relevantModifiers) != grab.modifiers) continue;
        if (!held_.insert(key->detail).second) return true; // auto-repeat of a held key
        ShowTiming::mark("hot key pressed");
        handlers_.pressed();
        return true;
    }
    return false;
}

} // namespace tavlin::platform
