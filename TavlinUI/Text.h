#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavlin {

// How the program compares and changes texts. "Equal" is Unicode canonical
// equivalence: the NFC forms are compared, case-sensitively, with no trimming.
// Malformed UTF-8 is read with each bad sequence standing for U+FFFD.
struct Text {
    static std::string nfc(std::string_view text);
    // The form in which texts are told apart: equal(a, b) exactly when identity(a) ==
    // identity(b). It is the NFC form of well-formed text; malformed text is kept byte for
    // byte, so that two different malformed texts stay different.
    static std::string identity(std::string_view text);
    static bool equal(std::string_view a, std::string_view b);
    // Consistent with equal(): canonically equivalent texts hash alike.
    static std::size_t hash(std::string_view text);
    // The Unicode default full upper-case mapping, independent of the locale ("ß" gives "SS").
    static std::string upper(std::string_view text);
    // Whether `needle` occurs in `haystack`, both taken in NFC.
    static bool contains(std::string_view haystack, std::string_view needle);

    struct Hasher {
        std::size_t operator()(std::string_view text) const { return Text::hash(text); }
    };
    struct Equal {
        bool operator()(std::string_view a, std::string_view b) const { return Text::equal(a, b); }
    };
};

} // namespace tavlin
