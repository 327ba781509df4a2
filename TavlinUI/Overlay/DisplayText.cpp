#include "TavlinUI/Overlay/DisplayText.h"

#include <QList>

#include <unicode/uchar.h>

#include <algorithm>
#include <string>

namespace tavlin {
namespace {

constexpr char32_t leftToRightEmbedding = 0x202A, rightToLeftEmbedding = 0x202B;
constexpr char32_t leftToRightOverride = 0x202D, rightToLeftOverride = 0x202E;
constexpr char32_t firstStrongIsolate = 0x2068, popDirectionalIsolate = 0x2069;

bool breaksOrSpaces(char32_t c) {
    return u_hasBinaryProperty(UChar32(c), UCHAR_WHITE_SPACE);
}

bool isControl(char32_t c) {
    return u_charType(UChar32(c)) == U_CONTROL_CHAR;
}

} // namespace

QString DisplayText::drawable(const QString& text) {
    std::u32string out;
    for (const char32_t c : text.toUcs4()) {
        if (c == leftToRightOverride)
            out.push_back(leftToRightEmbedding);
        else if (c == rightToLeftOverride)
            out.push_back(rightToLeftEmbedding);
        else if (c == 0x2028 || c == 0x2029 || (isControl(c) && breaksOrSpaces(c)))
            out.push_back(' ');
        else if (!isControl(c))
            out.push_back(c);
    }
    return QString::fromUcs4(out.data(), qsizetype(out.size()));
}

bool DisplayText::looksBlank(const QString& text) {
    const QList<uint> chars = text.toUcs4();
    return std::all_of(chars.begin(), chars.end(), [](char32_t c) {
        return breaksOrSpaces(c) || isControl(c) || u_hasBinaryProperty(UChar32(c), UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
    });
}

QString DisplayText::isolated(const QString& text) {
    return QChar(firstStrongIsolate) + text + QChar(popDirectionalIsolate);
}

} // namespace tavlin
