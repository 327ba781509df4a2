#include "platform/linux/KeyBindingParser.h"

#include "Tavlin/KeyNotation.h"

#include <array>
#include <cctype>
#include <string>
#include <utility>

namespace tavlin::platform::atspi {
namespace {

using Bits = std::int64_t;
constexpr Bits commandFlag = 1 << 16; // stands for Ctrl until the no-command bit is derived

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

// Named keys that have a symbol of their own, by the names GTK and Qt give them.
constexpr std::array<std::pair<std::string_view, std::int64_t>, 40> namedKeys{{
    {"return", 36},    {"enter", 36},      {"kp_enter", 36},     {"iso_enter", 36},
    {"tab", 48},       {"iso_left_tab", 48}, {"backtab", 48},    {"kp_tab", 48},
    {"space", 49},     {"kp_space", 49},   {"backspace", 51},    {"escape", 53},
    {"esc", 53},       {"home", 115},      {"kp_home", 115},     {"page_up", 116},
    {"pgup", 116},     {"prior", 116},     {"kp_page_up", 116},  {"kp_prior", 116},
    {"delete", 117},   {"del", 117},       {"kp_delete", 117},   {"end", 119},
    {"kp_end", 119},   {"page_down", 121}, {"pgdown", 121},      {"next", 121},
    {"kp_page_down", 121}, {"kp_next", 121}, {"left", 123},      {"kp_left", 123},
    {"right", 124},    {"kp_right", 124},  {"down", 125},        {"kp_down", 125},
    {"up", 126},       {"kp_up", 126},     {"pageup", 116},      {"pagedown", 121},
}};

// Names of printable keys, as GTK key names; the key is the character.
constexpr std::array<std::pair<std::string_view, std::string_view>, 50> characterNames{{
    {"comma", ","},        {"period", "."},       {"plus", "+"},          {"minus", "-"},
    {"slash", "/"},        {"backslash", "\\"},   {"equal", "="},         {"semicolon", ";"},
    {"colon", ":"},        {"apostrophe", "'"},   {"quoteright", "'"},    {"quotedbl", "\""},
    {"grave", "`"},        {"quoteleft", "`"},    {"asciitilde", "~"},    {"exclam", "!"},
    {"at", "@"},           {"numbersign", "#"},   {"dollar", "$"},        {"percent", "%"},
    {"asciicircum", "^"},  {"ampersand", "&"},    {"asterisk", "*"},      {"parenleft", "("},
    {"parenright", ")"},   {"bracketleft", "["},  {"bracketright", "]"},  {"braceleft", "{"},
    {"braceright", "}"},   {"underscore", "_"},   {"less", "<"},          {"greater", ">"},
    {"question", "?"},     {"bar", "|"},          {"kp_add", "+"},        {"kp_subtract", "-"},
    {"kp_multiply", "*"},  {"kp_divide", "/"},    {"kp_decimal", "."},    {"kp_equal", "="},
    {"kp_0", "0"},         {"kp_1", "1"},         {"kp_2", "2"},          {"kp_3", "3"},
    {"kp_4", "4"},         {"kp_5", "5"},         {"kp_6", "6"},          {"kp_7", "7"},
    {"kp_8", "8"},         {"kp_9", "9"},
}};

// Virtual key codes of F1 to F20.
constexpr std::array<std::int64_t, 20> functionKeys{122, 120, 99,  118, 96,  97,  98,  100, 101, 109,
                                                     103, 111, 105, 107, 113, 106, 64,  79,  80,  90};

// The key part of a key equivalent for a key named `name`; absent for no key at all.
std::optional<KeyEquivalent> keyNamed(std::string_view name) {
    if (name.empty()) return std::nullopt;
    if (isOneCodePoint(name)) return KeyEquivalent{std::string(name), std::nullopt, 0};
    const std::string key = lowered(name);
    for (const auto& [keyName, code] : namedKeys)
        if (key == keyName)
            return KeyEquivalent{{}, code, 0};
    for (const auto& [keyName, character] : characterNames)
        if (key == keyName) return KeyEquivalent{std::string(character), std::nullopt, 0};
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'f' && std::isdigit(static_cast<unsigned char>(key[1])) &&
        (key.size() == 2 || std::isdigit(static_cast<unsigned char>(key[2])))) {
        const int number = std::stoi(key.substr(1));
        if (number >= 1 && number <= 20 && key[1] != '0')
            return KeyEquivalent{{}, functionKeys[static_cast<std::size_t>(number - 1)], 0};
    }
    return KeyEquivalent{{}, KeyBindingParser::unlistedKeyCode, 0};
}

// Modifier bits for a modifier name; 0 for names that carry no modifier; absent when
// the name is no modifier at all.
std::optional<Bits> modifierNamed(std::string_view name) {
    const std::string modifier = lowered(name);
    if (modifier == "primary" || modifier == "control" || modifier == "ctrl" || modifier == "ctl") return commandFlag;
    if (modifier == "shift" || modifier == "shft") return KeyNotation::shiftBit;
    if (modifier == "alt" || modifier == "mod1" || modifier == "option") return KeyNotation::optionBit;
    if (modifier == "super" || modifier == "meta" || modifier == "hyper" || modifier == "mod4")
        return KeyNotation::controlBit;
    if (modifier == "release" || modifier == "num" || modifier == "keypad" || modifier == "mod2" ||
        modifier == "mod3" || modifier == "mod5" || modifier == "lock")
        return Bits{0};
    return std::nullopt;
}

std::optional<KeyEquivalent> withModifiers(std::optional<KeyEquivalent> key, Bits bits) {
    if (!key) return std::nullopt;
    key->modifiers = (bits & (KeyNotation::shiftBit | KeyNotation::optionBit | KeyNotation::controlBit)) |
                     ((bits & commandFlag) ? 0 : KeyNotation::noCommandBit);
    return key;
}

// Whether `letter` (one character) occurs in `name`, ignoring the case of ASCII letters.
bool occursIn(std::string_view letter, std::string_view name) {
    if (letter.size() == 1) {
        const int wanted = std::tolower(static_cast<unsigned char>(letter[0]));
        for (char c : name)
            if (std::tolower(static_cast<unsigned char>(c)) == wanted) return true;
        return false;
    }
    return name.find(letter) != std::string_view::npos;
}

bool isLetter(std::string_view key) {
    if (!isOneCodePoint(key)) return false;
    return key.size() > 1 || std::isalpha(static_cast<unsigned char>(key[0]));
}

// Whether `binding` is written the way Qt writes key sequences: a modifier name and "+",
// or no GTK field separator at all.
bool looksLikeQt(std::string_view binding) {
    const std::size_t plus = binding.find('+');
    if (plus != std::string_view::npos && plus > 0 && modifierNamed(binding.substr(0, plus))) return true;
    return binding.find(';') == std::string_view::npos && binding.front() != '<';
}

} // namespace

std::optional<KeyEquivalent> KeyBindingParser::parse(std::string_view binding, std::string_view itemName) {
    if (binding.empty()) return std::nullopt;
    if (looksLikeQt(binding)) return parseQtSequence(binding, itemName);
    if (binding.find(';') == std::string_view::npos) return parseGtkAccelerator(binding);
    // GTK: "mnemonic;path;shortcut"; only the shortcut is a key equivalent.
    const std::size_t first = binding.find(';');
    const std::size_t second = binding.find(';', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    std::string_view shortcut = binding.substr(second + 1);
    if (const std::size_t more = shortcut.find(';'); more != std::string_view::npos) shortcut = shortcut.substr(0, more);
    return parseGtkAccelerator(shortcut);
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

std::optional<KeyEquivalent> KeyBindingParser::parseQtSequence(std::string_view sequence, std::string_view itemName) {
    // A chord such as "Ctrl+K, Ctrl+C" is shown by its first step.
    if (const std::size_t step = sequence.find(", "); step != std::string_view::npos && step > 0)
        sequence = sequence.substr(0, step);
    Bits bits = 0;
    bool onlyAlt = true;
    for (;;) {
        const std::size_t plus = sequence.find('+', 1);
        if (plus == std::string_view::npos || plus + 1 >= sequence.size()) break;
        const std::optional<Bits> modifier = modifierNamed(sequence.substr(0, plus));
        if (!modifier) break;
        bits |= *modifier;
        onlyAlt = onlyAlt && *modifier == KeyNotation::optionBit;
        sequence.remove_prefix(plus + 1);
    }
    // Qt falls back to "Alt+" and the mnemonic letter for an item without a shortcut.
    if (bits == KeyNotation::optionBit && onlyAlt && isLetter(sequence) && occursIn(sequence, itemName))
        return std::nullopt;
    return withModifiers(keyNamed(sequence), bits);
}

} // namespace tavlin::platform::atspi
