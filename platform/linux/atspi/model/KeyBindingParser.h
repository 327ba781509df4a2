#pragma once

#include "platform/linux/atspi/model/KeyEquivalent.h"

#include <optional>
#include <string_view>
#include <vector>

namespace tavlin::platform::atspi {

// Reads the key binding that a toolkit reports through the accessibility Action
// interface into the chords of its shortcut.
//
// GTK reports "mnemonic;path;shortcut" with shortcuts such as "<Primary><Shift>b";
// Qt reports portable text such as "Ctrl+Shift+R", "Ctrl++" or the sequence
// "Ctrl+T, O" (kept whole, one chord per step), and "Alt+" with the item's mnemonic
// character when the item has no shortcut. Ctrl is the Command modifier (so a binding
// without Ctrl sets the no-command bit), Alt is Option, Shift is Shift and Super, Meta
// or Hyper is Control.
//
// A wrong key is worse than none: text that names no key (an unknown name, a bare
// space or control character), a mnemonic standing in for a missing shortcut, or a
// sequence with any such step gives no shortcut at all.
struct KeyBindingParser {
    // The chords of the shortcut of `binding`, reported for an item named `itemName`, in
    // order; empty when the binding holds no shortcut.
    static std::vector<KeyEquivalent> parse(std::string_view binding, std::string_view itemName);
    // One GTK accelerator, such as "<Primary>comma".
    static std::optional<KeyEquivalent> parseGtkAccelerator(std::string_view accelerator);
    // One Qt key sequence in portable text, such as "Ctrl+Shift+R" or "Ctrl+K, Ctrl+C".
    static std::vector<KeyEquivalent> parseQtSequence(std::string_view sequence, std::string_view itemName);
};

} // namespace tavlin::platform::atspi
