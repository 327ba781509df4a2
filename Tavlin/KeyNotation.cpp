#include "Tavlin/KeyNotation.h"

#include "TavlinUI/Text.h"
#include "platform/Keys.h"

#include <array>
#include <limits>
#include <utility>

namespace tavlin {
namespace {

using Entry = std::pair<std::int64_t, std::string_view>;
using Code = platform::Keys::Code;
using Modifier = platform::Keys::MenuModifier;

constexpr std::array<Entry, 13> glyphTable{{
    {3, "\u21A9"}, {8, "\u232B"}, {9, "\u21E5"}, {11, "\u21DE"}, {12, "\u21DF"}, {16, "\u2302"}, {23, "\u2327"},
    {27, "\u238B"}, {28, "\u2190"}, {29, "\u2192"}, {30, "\u2191"}, {31, "\u2193"}, {127, "\u2326"},
}};

constexpr std::array<Entry, 14> specialKeyTable{{
    {Code::returnKey, "\u21A9"}, {Code::tab, "\u21E5"},      {Code::space, "Space"},    {Code::backspace, "\u232B"},
    {Code::escape, "\u238B"},    {Code::home, "\u2196"},     {Code::pageUp, "\u21DE"},  {Code::forwardDelete, "\u2326"},
    {Code::end, "\u2198"},       {Code::pageDown, "\u21DF"}, {Code::left, "\u2190"},    {Code::right, "\u2192"},
    {Code::down, "\u2193"},      {Code::up, "\u2191"},
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
    if (modifiers & Modifier::control) prefix += "\u2303";
    if (modifiers & Modifier::option) prefix += "\u2325";
    if (modifiers & Modifier::shift) prefix += "\u21E7";
    if (!(modifiers & Modifier::noCommand)) prefix += "\u2318";
    return prefix;
}

std::optional<std::string> KeyNotation::keyPart(std::string_view commandCharacter, std::optional<std::int64_t> glyph,
                                                std::optional<std::int64_t> virtualKey) {
    // The space bar is named, so that no chord of a sequence holds a space.
    if (commandCharacter == " ") return specialKeySymbol(Code::space);
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
    for (std::size_t i = 0; i < Code::function.size(); ++i)
        if (Code::function[i] == virtualKey) return std::string("F").append(std::to_string(i + 1));
    return std::nullopt;
}

} // namespace tavlin
