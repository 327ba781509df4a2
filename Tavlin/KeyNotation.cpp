#include "Tavlin/KeyNotation.h"

#include "TavlinUI/Text.h"

#include <array>
#include <limits>
#include <utility>

namespace tavlin {
namespace {

using Entry = std::pair<std::int64_t, std::string_view>;

constexpr std::array<Entry, 13> glyphTable{{
    {3, "\u21A9"}, {8, "\u232B"}, {9, "\u21E5"}, {11, "\u21DE"}, {12, "\u21DF"}, {16, "\u2302"}, {23, "\u2327"},
    {27, "\u238B"}, {28, "\u2190"}, {29, "\u2192"}, {30, "\u2191"}, {31, "\u2193"}, {127, "\u2326"},
}};

constexpr std::array<Entry, 14> specialKeyTable{{
    {36, "\u21A9"}, {48, "\u21E5"}, {49, "Space"}, {51, "\u232B"}, {53, "\u238B"}, {115, "\u2196"}, {116, "\u21DE"},
    {117, "\u2326"}, {119, "\u2198"}, {121, "\u21DF"}, {123, "\u2190"}, {124, "\u2192"}, {125, "\u2193"}, {126, "\u2191"},
}};

constexpr std::array<Entry, 20> functionKeyTable{{
    {122, "F1"}, {120, "F2"}, {99, "F3"}, {118, "F4"}, {96, "F5"}, {97, "F6"}, {98, "F7"},
    {100, "F8"}, {101, "F9"}, {109, "F10"}, {103, "F11"}, {111, "F12"}, {105, "F13"}, {107, "F14"},
    {113, "F15"}, {106, "F16"}, {64, "F17"}, {79, "F18"}, {80, "F19"}, {90, "F20"},
}};

template <std::size_t N>
std::optional<std::string> lookup(const std::array<Entry, N>& table, std::int64_t code) {
    for (const Entry& entry : table)
        if (entry.first == code) return std::string(entry.second);
    return std::nullopt;
}

} // namespace

std::string KeyNotation::prefix(std::int64_t modifiers) {
    // Only values that fit an unsigned 32-bit mask carry modifier bits; anything else
    // is no valid mask and counts as no modifiers, like an absent value.
    if (modifiers < 0 || modifiers > std::numeric_limits<std::uint32_t>::max()) modifiers = 0;
    std::string prefix;
    if (modifiers & controlBit) prefix += "\u2303";
    if (modifiers & optionBit) prefix += "\u2325";
    if (modifiers & shiftBit) prefix += "\u21E7";
    if (!(modifiers & noCommandBit)) prefix += "\u2318";
    return prefix;
}

std::optional<std::string> KeyNotation::keyPart(std::string_view commandCharacter, std::optional<std::int64_t> glyph,
                                                std::optional<std::int64_t> virtualKey) {
    if (!commandCharacter.empty()) return Text::upper(commandCharacter);
    if (glyph) return glyphSymbol(*glyph).value_or(std::string(fallbackSymbol));
    if (virtualKey) {
        if (auto symbol = specialKeySymbol(*virtualKey)) return symbol;
        if (auto name = functionKeyName(*virtualKey)) return name;
        return std::string(fallbackSymbol);
    }
    return std::nullopt;
}

std::optional<std::string> KeyNotation::glyphSymbol(std::int64_t glyph) { return lookup(glyphTable, glyph); }
std::optional<std::string> KeyNotation::specialKeySymbol(std::int64_t virtualKey) {
    return lookup(specialKeyTable, virtualKey);
}
std::optional<std::string> KeyNotation::functionKeyName(std::int64_t virtualKey) {
    return lookup(functionKeyTable, virtualKey);
}

} // namespace tavlin
