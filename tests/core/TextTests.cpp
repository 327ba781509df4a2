#include "TavlinUI/Text.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>

using tavlin::Text;

namespace {

const std::string composed = "Caf\u00E9";     // é as one code point
const std::string decomposed = "Cafe\u0301"; // e + combining acute

TEST(Text, CanonicallyEquivalentTextsAreEqualAndHashAlikeOtherwiseEqualityIsExact) {
    EXPECT_NE(composed, decomposed);
    EXPECT_EQ(Text::nfc(decomposed), composed);
    const std::pair<std::string, std::string> equal[] = {
        {composed, decomposed}, {"\uD55C", "\u1112\u1161\u11AB"}, {"", ""}}; // Hangul syllable and its jamo
    for (const auto& [a, b] : equal) {
        EXPECT_TRUE(Text::equal(a, b)) << a;
        EXPECT_EQ(Text::hash(a), Text::hash(b)) << a;
    }
    // Case, spacing and compatibility (not canonical) equivalence tell texts apart.
    for (const auto& [a, b] : {std::pair{"Edit", "edit"}, {"Edit", "Edit "}, {"\uFB01", "fi"}})
        EXPECT_FALSE(Text::equal(a, b)) << a;
}

TEST(Text, UpperCaseIsTheFullRootLocaleMapping) {
    EXPECT_EQ(Text::upper("stra\u00DFe"), "STRASSE");
    EXPECT_EQ(Text::upper("Finder \u00B7 常設"), "FINDER \u00B7 常設");
    EXPECT_EQ(Text::upper("\uFB01"), "FI");

    // A Turkish default locale must not turn "i" into a dotted capital.
    const icu::Locale saved = icu::Locale::getDefault();
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("tr", "TR"), status);
    EXPECT_EQ(Text::upper("i"), "I");
    icu::Locale::setDefault(saved, status);
}

TEST(Text, MalformedUtf8IsReadSafelyAndKeptDistinct) {
    const std::string malformed[] = {"\xFF", "\xC3", "abc\xE2\x8C", "\xED\xA0\x80", "\xC0\xAF", std::string("a\0b", 3)};
    for (const std::string& text : malformed) {
        EXPECT_TRUE(Text::equal(text, text));
        EXPECT_EQ(Text::hash(text), Text::hash(std::string(text)));
        EXPECT_FALSE(Text::upper(text).empty());
        EXPECT_FALSE(Text::nfc(text).empty());
    }
    // Two different malformed texts would both decode to U+FFFD; they stay different.
    EXPECT_FALSE(Text::equal("\xFF", "\xFE"));
    EXPECT_FALSE(Text::equal("\xFF", "\uFFFD"));
}

TEST(Text, ReadsOnlyTheBytesItIsGiven) {
    const std::string buffer = "abc\xC3\xA9";
    // A view that ends in the middle of "é": only its own bytes are read.
    EXPECT_EQ(Text::upper(std::string_view(buffer).substr(0, 4)), "ABC\uFFFD");
    EXPECT_EQ(Text::upper(std::string_view(buffer).substr(0, 2)), "AB");
}

} // namespace
