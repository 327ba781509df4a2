#include "platform/linux/atspi/model/KeyBindingParser.h"

#include "platform/Keys.h"

#include <array>
#include <cctype>
#include <string>
#include <utility>

#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>
#include <xkbcommon/xkbcommon.h>

namespace tavlin::platform::atspi {
namespace {

using Bits = std::int64_t;
using Code = Keys::Code;
using Modifier = Keys::MenuModifier;
constexpr Bits commandFlag = 1 << 16; // stands for Ctrl until the no-command bit is derived
constexpr std::size_t maxSteps = 4;

std::string lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// The length of the UTF-8 sequence that starts `text`, or 0 when it is not one.
std::size_t firstCodePointLength(std::string_view text) {
    if (text.empty()) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
    return length;
}

bool isOneCodePoint(std::string_view text) {
    return !text.empty() && firstCodePointLength(text) == text.size();
}

// Whether the one code point `text` is a character that shows: toolkits name the space,
// tab and control keys, so a bare one is no key binding.
bool isVisibleCharacter(std::string_view text) {
    std::int32_t at = 0;
    UChar32 c = 0;
    U8_NEXT(reinterpret_cast<const std::uint8_t*>(text.data()), at, static_cast<std::int32_t>(text.size()), c);
    return c >= 0 && u_isgraph(c);
}

// The virtual key code of a key that the key tables show with a symbol or a name of
// its own; absent for every other key.
std::optional<std::int64_t> specialKeyCode(xkb_keysym_t keysym) {
    if (keysym >= XKB_KEY_F1 && keysym <= XKB_KEY_F20) return Code::function[keysym - XKB_KEY_F1];
    switch (keysym) {
    case XKB_KEY_Return: case XKB_KEY_KP_Enter: case XKB_KEY_ISO_Enter: return Code::returnKey;
    case XKB_KEY_Tab: case XKB_KEY_ISO_Left_Tab: case XKB_KEY_KP_Tab: return Code::tab;
    case XKB_KEY_space: case XKB_KEY_KP_Space: return Code::space;
    case XKB_KEY_BackSpace: return Code::backspace;
    case XKB_KEY_Escape: return Code::escape;
    case XKB_KEY_Home: case XKB_KEY_KP_Home: return Code::home;
    case XKB_KEY_Page_Up: case XKB_KEY_KP_Page_Up: return Code::pageUp;
    case XKB_KEY_Delete: case XKB_KEY_KP_Delete: return Code::forwardDelete;
    case XKB_KEY_End: case XKB_KEY_KP_End: return Code::end;
    case XKB_KEY_Page_Down: case XKB_KEY_KP_Page_Down: return Code::pageDown;
    case XKB_KEY_Left: case XKB_KEY_KP_Left: return Code::left;
    case XKB_KEY_Right: case XKB_KEY_KP_Right: return Code::right;
    case XKB_KEY_Down: case XKB_KEY_KP_Down: return Code::down;
    case XKB_KEY_Up: case XKB_KEY_KP_Up: return Code::up;
    default: return std::nullopt;
    }
}

// Qt's portable names of keys whose key names (as GTK and xkbcommon write them) differ.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> qtKeyNames{{
    {"esc", "Escape"}, {"del", "Delete"},    {"ins", "Insert"},        {"pgup", "Page_Up"},
    {"pgdown", "Page_Down"}, {"enter", "KP_Enter"}, {"backtab", "ISO_Left_Tab"},
}};

// The key symbol named `name`: a GTK key name exactly as written, then Qt's name of it,
// then any key name regardless of case.
xkb_keysym_t keysymNamed(std::string_view name) {
    const std::string exact(name);
    if (const xkb_keysym_t keysym = xkb_keysym_from_name(exact.c_str(), XKB_KEYSYM_NO_FLAGS); keysym != XKB_KEY_NoSymbol)
        return keysym;
    const std::string key = lowered(name);
    for (const auto& [qtName, keyName] : qtKeyNames)
        if (key == qtName) return xkb_keysym_from_name(std::string(keyName).c_str(), XKB_KEYSYM_NO_FLAGS);
    return xkb_keysym_from_name(exact.c_str(), XKB_KEYSYM_CASE_INSENSITIVE);
}

std::string utf8(char32_t c) {
    char text[U8_MAX_LENGTH];
    std::int32_t length = 0;
    U8_APPEND_UNSAFE(text, length, static_cast<UChar32>(c));
    return std::string(text, static_cast<std::size_t>(length));
}

// The key part of a key equivalent for a key named `name`; absent when it names no key.
std::optional<KeyEquivalent> keyNamed(std::string_view name) {
    if (name.empty()) return std::nullopt;
    if (isOneCodePoint(name))
        return isVisibleCharacter(name) ? std::optional(KeyEquivalent{std::string(name), std::nullopt, 0}) : std::nullopt;
    const xkb_keysym_t keysym = keysymNamed(name);
    if (keysym == XKB_KEY_NoSymbol) return std::nullopt;
    if (const std::optional<std::int64_t> code = specialKeyCode(keysym)) return KeyEquivalent{{}, *code, 0};
    // A printable character; control characters (Linefeed, Clear...) have no symbol.
    const char32_t character = xkb_keysym_to_utf32(keysym);
    if (character >= 0x20 && character != 0x7F && !(character >= 0x80 && character < 0xA0))
        return KeyEquivalent{utf8(character), std::nullopt, 0};
    return KeyEquivalent{{}, Code::unlisted, 0};
}

// Modifier bits for a modifier name; 0 for names that carry no modifier; absent when
// the name is no modifier at all.
std::optional<Bits> modifierNamed(std::string_view name) {
    const std::string modifier = lowered(name);
    if (modifier == "primary" || modifier == "control" || modifier == "ctrl" || modifier == "ctl") return commandFlag;
    if (modifier == "shift" || modifier == "shft") return Modifier::shift;
    if (modifier == "alt" || modifier == "mod1" || modifier == "option") return Modifier::option;
    if (modifier == "super" || modifier == "meta" || modifier == "hyper" || modifier == "mod4")
        return Modifier::control;
    if (modifier == "release" || modifier == "num" || modifier == "keypad" || modifier == "mod2" ||
        modifier == "mod3" || modifier == "mod5" || modifier == "lock")
        return Bits{0};
    return std::nullopt;
}

std::optional<KeyEquivalent> withModifiers(std::optional<KeyEquivalent> key, Bits bits) {
    if (!key) return std::nullopt;
    key->modifiers = (bits & (Modifier::shift | Modifier::option | Modifier::control)) |
                     ((bits & commandFlag) ? 0 : Modifier::noCommand);
    return key;
}

// Whether `character` occurs in `name`, ignoring case (Qt upper-cases a mnemonic).
bool occursIn(std::string_view character, std::string_view name) {
    const auto folded = [](std::string_view text) {
        return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())))
            .foldCase();
    };
    return folded(name).indexOf(folded(character)) >= 0;
}

// One step of a Qt key sequence, such as "Ctrl+Shift+R". Qt's mnemonic stands in for a
// missing shortcut only as a whole binding, so only `itemName` of a binding of one step
// is looked at.
std::optional<KeyEquivalent> qtChord(std::string_view step, std::string_view itemName) {
    Bits bits = 0;
    bool onlyAlt = true;
    for (;;) {
        const std::size_t plus = step.find('+', 1);
        if (plus == std::string_view::npos || plus + 1 >= step.size()) break;
        const std::optional<Bits> modifier = modifierNamed(step.substr(0, plus));
        if (!modifier) break;
        bits |= *modifier;
        onlyAlt = onlyAlt && *modifier == Modifier::option;
        step.remove_prefix(plus + 1);
    }
    // For an item without a shortcut, Qt reports its mnemonic instead: "Alt+" and the
    // upper-cased character after the "&" (a letter, a digit or any other), while the
    // name comes without the "&". So "Alt+" and one character of the name is taken for
    // the mnemonic; a real Alt shortcut on a character of the name reads the same and
    // can't be told from it.
    if (bits == Modifier::option && onlyAlt && isOneCodePoint(step) && occursIn(step, itemName)) return std::nullopt;
    return withModifiers(keyNamed(step), bits);
}

// Whether `binding` is written the way Qt writes key sequences: a modifier name and "+",
// or no GTK field separator at all.
bool looksLikeQt(std::string_view binding) {
    const std::size_t plus = binding.find('+');
    if (plus != std::string_view::npos && plus > 0 && modifierNamed(binding.substr(0, plus))) return true;
    return binding.find(';') == std::string_view::npos && binding.front() != '<';
}

} // namespace

std::vector<KeyEquivalent> KeyBindingParser::parse(std::string_view binding, std::string_view itemName) {
    if (binding.empty()) return {};
    if (looksLikeQt(binding)) return parseQtSequence(binding, itemName);
    std::string_view shortcut = binding;
    if (binding.find(';') != std::string_view::npos) {
        // GTK: "mnemonic;path;shortcut"; only the shortcut is a key equivalent.
        const std::size_t first = binding.find(';');
        const std::size_t second = binding.find(';', first + 1);
        if (second == std::string_view::npos) return {};
        shortcut = binding.substr(second + 1);
        if (const std::size_t more = shortcut.find(';'); more != std::string_view::npos)
            shortcut = shortcut.substr(0, more);
    }
    if (std::optional<KeyEquivalent> key = parseGtkAccelerator(shortcut)) return {*key};
    return {};
}

std::optional<KeyEquivalent> KeyBindingParser::parseGtkAccelerator(std::string_view accelerator) {
    Bits bits = 0;
    while (!accelerator.empty() && accelerator.front() == '<') {
        const std::size_t close = accelerator.find('>');
        if (close == std::string_view::npos || close == 1) break;
        bits |= modifierNamed(accelerator.substr(1, close - 1)).value_or(0);
        accelerator.remove_prefix(close + 1);
    }
    return withModifiers(keyNamed(accelerator), bits);
}

std::vector<KeyEquivalent> KeyBindingParser::parseQtSequence(std::string_view sequence, std::string_view itemName) {
    // Qt writes the steps of a sequence apart by ", " ("Ctrl+T, O", "Ctrl+,, A"). A step
    // holds no space (Qt writes that key "Space"), so past a step's first character every
    // ", " ends it.
    std::vector<std::string_view> steps;
    for (std::size_t end; (end = sequence.find(", ", 1)) != std::string_view::npos;) {
        steps.push_back(sequence.substr(0, end));
        sequence.remove_prefix(end + 2);
    }
    steps.push_back(sequence);
    // Qt's sequences hold four steps at most: anything longer is no key sequence.
    if (steps.size() > maxSteps) return {};
    std::vector<KeyEquivalent> chords;
    for (std::string_view step : steps) {
        std::optional<KeyEquivalent> chord = qtChord(step, steps.size() == 1 ? itemName : std::string_view());
        if (!chord) return {}; // a sequence is kept whole or not at all
        chords.push_back(std::move(*chord));
    }
    return chords;
}

} // namespace tavlin::platform::atspi
