#pragma once

#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QString>
#include <QStringList>

#include <string_view>
#include <vector>

namespace tavlin {

// How the overlay writes a key combination of the model (modifier symbols ⌃⌥⇧⌘, then
// the key; a key sequence is its chords joined by ", "). In the desktop's notation Qt
// names the keys, in the user's language as Qt translates them: ⌘ is Ctrl, ⌥ Alt,
// ⇧ Shift and ⌃ the Super key ("Ctrl+Shift+Z", "Alt+F4", "Ctrl+Up", the sequence
// "Ctrl+T, O"). The symbol notation shows the model's text as it is ("⇧⌘Z", "⌘T, O").
struct KeyText {
    enum class Notation { desktop, symbols };

    static QString write(std::string_view keys, Notation notation);
    // The legends that still explain something once the keys are written as `written`
    // (those with a symbol that occurs in one of the texts, in their order), each named
    // the way this desktop names the key: "⌘ Ctrl", "⌃ Super", "⌫ Backspace"; the
    // arrows and the key without a name keep their own names, in the user's language.
    static std::vector<KeyLegend> legendsFor(const std::vector<KeyLegend>& legends, const QStringList& written);
    static QString legendName(const KeyLegend& legend);
};

} // namespace tavlin
