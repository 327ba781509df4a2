#include "TavlinUI/Text.h"

#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <climits>
#include <functional>

namespace tavlin {
namespace {

struct Decoded {
    icu::UnicodeString text;
    bool valid = true; // false when some byte sequence was not UTF-8
};

// Decodes UTF-8 within the given bytes only; each malformed sequence becomes U+FFFD.
Decoded decode(std::string_view bytes) {
    Decoded result;
    if (bytes.empty()) return result;
    if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
        result.valid = false;
        bytes = bytes.substr(0, INT32_MAX);
    }
    const auto length = static_cast<int32_t>(bytes.size());
    UChar* buffer = result.text.getBuffer(length); // UTF-16 never needs more units than UTF-8 bytes
    if (buffer == nullptr) {
        result.valid = false;
        return result;
    }
    int32_t written = 0;
    int32_t substitutions = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(buffer, length, &written, bytes.data(), length, 0xFFFD, &substitutions, &status);
    result.text.releaseBuffer(U_SUCCESS(status) ? written : 0);
    if (U_FAILURE(status) || substitutions > 0) result.valid = false;
    return result;
}

std::string encode(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

const icu::Normalizer2& nfcNormalizer() {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* normalizer = icu::Normalizer2::getNFCInstance(status);
    return *normalizer; // part of ICU's built-in data; never absent in a working ICU
}

icu::UnicodeString normalized(const icu::UnicodeString& text) {
    const icu::Normalizer2& nfc = nfcNormalizer();
    UErrorCode status = U_ZERO_ERROR;
    if (nfc.isNormalized(text, status) && U_SUCCESS(status)) return text;
    status = U_ZERO_ERROR;
    icu::UnicodeString result = nfc.normalize(text, status);
    return U_SUCCESS(status) ? result : text;
}

const icu::Normalizer2& nfcNormalizer();

bool isAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

bool isWellFormed(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) return false;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) return false;
    }
    return true;
}

// Whether the text is well-formed UTF-8 already in NFC, checked without converting it.
bool isNfcAlready(std::string_view text) {
    if (!isWellFormed(text)) return false;
    UErrorCode status = U_ZERO_ERROR;
    const bool normalized = nfcNormalizer().isNormalizedUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())), status);
    return U_SUCCESS(status) && normalized;
}

} // namespace

std::string Text::nfc(std::string_view text) {
    if (isAscii(text) || isNfcAlready(text)) return std::string(text);
    return encode(normalized(decode(text).text));
}

std::string Text::identity(std::string_view text) {
    if (isAscii(text) || isNfcAlready(text)) return std::string(text);
    Decoded decoded = decode(text);
    if (!decoded.valid) return std::string(text);
    return encode(normalized(decoded.text));
}

bool Text::equal(std::string_view a, std::string_view b) {
    if (a == b) return true;
    if (isAscii(a) && isAscii(b)) return false;
    return identity(a) == identity(b);
}

std::size_t Text::hash(std::string_view text) {
    return std::hash<std::string>{}(identity(text));
}

std::string Text::upper(std::string_view text) {
    if (isAscii(text)) { // ASCII letters have no special upper-case mappings
        std::string out(text);
        for (char& c : out)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return out;
    }
    icu::UnicodeString decoded = decode(text).text;
    decoded.toUpper(icu::Locale::getRoot());
    return encode(decoded);
}

bool Text::contains(std::string_view haystack, std::string_view needle) {
    return identity(haystack).find(identity(needle)) != std::string::npos;
}

} // namespace tavlin
