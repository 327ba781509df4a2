#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavlin {

// The one text form of a key combination: modifier symbols ⌃ ⌥ ⇧ ⌘ in that order,
// then the key part. Modifiers are a menu item's modifier bits and keys virtual key
// codes, both as platform/Keys.h names them. A key sequence is its chords in that form,
// joined by ", " ("⌘T, O"); no chord holds a space (the space key is "Space").
struct KeyNotation {
    static constexpr std::string_view chordSeparator = ", ";
    // Chords in one sequence, at most (as many as Qt's key sequences hold).
    static constexpr std::size_t maxChords = 4;

    static std::string prefix(std::int64_t modifiers);
    // The key part from the first source present: command character, glyph, virtual key.
    // Absent when none of the three is present.
    static std::optional<std::string> keyPart(std::string_view commandCharacter,
                                              std::optional<std::int64_t> glyph,
                                              std::optional<std::int64_t> virtualKey);
    static std::optional<std::string> glyphSymbol(std::int64_t glyph);
    static std::optional<std::string> specialKeySymbol(std::int64_t virtualKey);
    static std::optional<std::string> functionKeyName(std::int64_t virtualKey);
    static constexpr std::string_view fallbackSymbol = "\u2328";
};

} // namespace tavlin
