#include "TavlinUI/Overlay/KeyText.h"

#include <QCoreApplication>
#include <QKeySequence>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace tavlin {
namespace {

// The legend names that are not English already, for the translation tools.
[[maybe_unused]] const char* const legendNames[] = {QT_TRANSLATE_NOOP("KeyLegend", "矢印"),
                                                    QT_TRANSLATE_NOOP("KeyLegend", "特殊キー")};

// The modifier symbols, with Qt's modifier and Qt's own word for it (the source text
// of its translation context "QShortcut").
struct Modifier {
    char16_t symbol;
    Qt::KeyboardModifier modifier;
    const char* word;
};
constexpr std::array<Modifier, 4> modifiers{{
    {u'\u2303', Qt::MetaModifier, "Meta"},
    {u'\u2325', Qt::AltModifier, "Alt"},
    {u'\u21E7', Qt::ShiftModifier, "Shift"},
    {u'\u2318', Qt::ControlModifier, "Ctrl"},
}};

// The glyphs and key symbols of the model's notation, by the key they stand for.
constexpr std::array<std::pair<char16_t, Qt::Key>, 17> keySymbols{{
    {u'\u21A9', Qt::Key_Return},   {u'\u232B', Qt::Key_Backspace}, {u'\u21E5', Qt::Key_Tab},
    {u'\u21DE', Qt::Key_PageUp},   {u'\u21DF', Qt::Key_PageDown},  {u'\u2302', Qt::Key_Home},
    {u'\u2196', Qt::Key_Home},     {u'\u2198', Qt::Key_End},       {u'\u2327', Qt::Key_Clear},
    {u'\u238B', Qt::Key_Escape},   {u'\u2190', Qt::Key_Left},      {u'\u2192', Qt::Key_Right},
    {u'\u2191', Qt::Key_Up},       {u'\u2193', Qt::Key_Down},      {u'\u2326', Qt::Key_Delete},
    {u'\u2328', Qt::Key_unknown}, // a key the model could not name: no word for it
    {u' ', Qt::Key_Space},
}};

bool isAsciiWord(const QString& text) {
    for (QChar c : text)
        if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_'))
            return false;
    return text.size() > 1;
}

// The key that Qt knows by the model's key part: a key symbol, a named key ("Space",
// "F12", "Print") or one printable character.
std::optional<Qt::Key> qtKey(const QString& part) {
    if (part.size() == 1)
        for (const auto& [symbol, key] : keySymbols)
            if (part[0] == QChar(symbol)) return key == Qt::Key_unknown ? std::nullopt : std::optional(key);
    if (isAsciiWord(part)) {
        const QKeySequence named = QKeySequence::fromString(part, QKeySequence::PortableText);
        if (named.count() == 1 && named[0].key() != Qt::Key_unknown && named[0].keyboardModifiers() == Qt::NoModifier)
            return named[0].key();
        return std::nullopt;
    }
    const QList<uint> codePoints = part.toUcs4();
    if (codePoints.size() != 1 || !QChar::isPrint(static_cast<char32_t>(codePoints[0]))) return std::nullopt;
    // Qt's character keys are the characters' own code points.
    return static_cast<Qt::Key>(codePoints[0]);
}

// The chords of a key sequence in the model's notation ("⌘T, O"): a chord holds no
// space, so past a chord's first character every ", " ends it.
QStringList chordsOf(const QString& keys) {
    static const QString separator = QStringLiteral(", ");
    QStringList chords;
    qsizetype from = 0;
    for (qsizetype end; (end = keys.indexOf(separator, from + 1)) >= 0; from = end + separator.size())
        chords.append(keys.mid(from, end - from));
    chords.append(keys.mid(from));
    return chords;
}

// One chord: its modifiers, and the key as Qt knows it or, for a key without a name of
// Qt's, as the model wrote it.
struct Chord {
    Qt::KeyboardModifiers held;
    std::optional<Qt::Key> key;
    QString part;
};

Chord chordOf(const QString& text) {
    Chord chord;
    qsizetype at = 0;
    for (; at + 1 < text.size(); ++at) { // the last character is always the key's
        const auto found = std::find_if(modifiers.begin(), modifiers.end(),
                                        [&](const Modifier& m) { return text[at] == QChar(m.symbol); });
        if (found == modifiers.end()) break;
        chord.held |= found->modifier;
    }
    chord.part = text.mid(at);
    chord.key = qtKey(chord.part);
    return chord;
}

QString written(const Chord& chord) {
    if (chord.key) return QKeySequence(QKeyCombination(chord.held, *chord.key)).toString(QKeySequence::NativeText);
    if (chord.held == Qt::NoModifier) return chord.part;
    // A key without a name of Qt's: Qt writes the modifiers, the key stays as the model wrote it.
    const QString withKey = QKeySequence(QKeyCombination(chord.held, Qt::Key_A)).toString(QKeySequence::NativeText);
    const QString keyAlone = QKeySequence(Qt::Key_A).toString(QKeySequence::NativeText);
    return withKey.chopped(keyAlone.size()) + chord.part;
}

} // namespace

QString KeyText::write(std::string_view keys, Notation notation) {
    const QString text = QString::fromUtf8(keys.data(), static_cast<qsizetype>(keys.size()));
    if (notation == Notation::symbols) return text;

    std::vector<Chord> chords;
    for (const QString& chord : chordsOf(text)) chords.push_back(chordOf(chord));
    // A sequence of keys Qt knows is written as the desktop writes sequences ("Ctrl+T, O").
    const bool allKnown = std::all_of(chords.begin(), chords.end(), [](const Chord& c) { return c.key.has_value(); });
    if (allKnown && chords.size() <= 4) {
        std::array<QKeyCombination, 4> steps{QKeyCombination::fromCombined(0), QKeyCombination::fromCombined(0),
                                             QKeyCombination::fromCombined(0), QKeyCombination::fromCombined(0)};
        for (std::size_t i = 0; i < chords.size(); ++i) steps[i] = QKeyCombination(chords[i].held, *chords[i].key);
        return QKeySequence(steps[0], steps[1], steps[2], steps[3]).toString(QKeySequence::NativeText);
    }
    QStringList parts;
    for (const Chord& chord : chords) parts.append(written(chord));
    return parts.join(QStringLiteral(", "));
}

std::vector<KeyLegend> KeyText::legendsFor(const std::vector<KeyLegend>& legends, const QStringList& written) {
    const QString joined = written.join(QString());
    std::vector<KeyLegend> kept;
    for (const KeyLegend& legend : legends) {
        const QString symbol = QString::fromStdString(legend.symbol);
        const bool used = std::any_of(symbol.begin(), symbol.end(), [&](QChar c) { return joined.contains(c); });
        if (used) kept.push_back(KeyLegend{legend.symbol, legendName(legend).toStdString()});
    }
    return kept;
}

QString KeyText::legendName(const KeyLegend& legend) {
    const QString symbol = QString::fromStdString(legend.symbol);
    if (symbol.size() == 1) {
        for (const Modifier& m : modifiers)
            if (symbol[0] == QChar(m.symbol)) return QCoreApplication::translate("QShortcut", m.word);
        if (const auto key = qtKey(symbol)) return QKeySequence(*key).toString(QKeySequence::NativeText);
    }
    return QCoreApplication::translate("KeyLegend", legend.name.c_str());
}

} // namespace tavlin
