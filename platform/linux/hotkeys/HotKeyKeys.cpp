#include "platform/linux/hotkeys/HotKeyKeys.h"

#include "platform/Keys.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include <array>

namespace tavlin::platform {
namespace {

// The keys a hot key may be on: virtual key code, key symbol, name.
struct HotKeyKey {
    std::uint16_t code;
    std::uint32_t keysym;
    const char* name;
};
constexpr std::array<HotKeyKey, 4> hotKeyKeys{{
    {Keys::Code::space, XKB_KEY_space, "Space"},
    {Keys::Code::returnKey, XKB_KEY_Return, "Return"},
    {Keys::Code::tab, XKB_KEY_Tab, "Tab"},
    {Keys::Code::escape, XKB_KEY_Escape, "Escape"},
}};

const HotKeyKey* hotKeyKey(std::uint32_t keyCode) {
    for (const HotKeyKey& key : hotKeyKeys)
        if (key.code == keyCode) return &key;
    return nullptr;
}

} // namespace

std::uint32_t HotKeyKeys::keysym(std::uint32_t keyCode) {
    const HotKeyKey* key = hotKeyKey(keyCode);
    return key ? key->keysym : 0;
}

std::string HotKeyKeys::combination(std::uint32_t keyCode, std::uint32_t modifiers) {
    // Command is Ctrl, Option is Alt, Control is Super: the key notation's own mapping.
    using Modifier = Keys::HotKeyModifier;
    std::string text;
    if (modifiers & Modifier::command) text += "Ctrl+";
    if (modifiers & Modifier::option) text += "Alt+";
    if (modifiers & Modifier::shift) text += "Shift+";
    if (modifiers & Modifier::control) text += "Super+";
    const HotKeyKey* key = hotKeyKey(keyCode);
    return text + (key ? key->name : "key " + std::to_string(keyCode));
}

} // namespace tavlin::platform
