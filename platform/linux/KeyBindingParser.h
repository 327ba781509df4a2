#pragma once

#include "platform/linux/KeyEquivalent.h"

#include <optional>
#include <string_view>

namespace tavlin::platform::atspi {

// Reads the key binding that a toolkit reports through the accessibility Action
// interface into a key equivalent.
//
// GTK reports "mnemonic;path;shortcut" with shortcuts such as "<Primary><Shift>b";
// Qt reports portable text such as "Ctrl+Shift+R", "Ctrl++" or "Ctrl+K, Ctrl+C" (a
// chord, of which the first step counts), and "Alt+" with the item's mnemonic character
// when the item has no shortcut. Ctrl is the Command modifier (so a binding without
// Ctrl sets the no-command bit), Alt is Option, Shift is Shift and Super, Meta or
// Hyper is Control.
struct KeyBindingParser {
    // The key equivalent of `binding`, reported for an item named `itemName`; absent
    // when the binding holds no shortcut.
    static std::optional<KeyEquivalent> parse(std::string_view binding, std::string_view itemName);
    // One GTK accelerator, such as "<Primary>comma".
    static std::optional<KeyEquivalent> parseGtkAccelerator(std::string_view accelerator);
    // One Qt key sequence in portable text, such as "Ctrl+Shift+R".
    static std::optional<KeyEquivalent> parseQtSequence(std::string_view sequence, std::string_view itemName);
};

} // namespace tavlin::platform::atspi
