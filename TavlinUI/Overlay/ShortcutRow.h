#pragma once

#include "TavlinUI/Overlay/KeyText.h"
#include "TavlinUI/ShortcutItem.h"

#include <QWidget>

namespace tavlin {

class FittedLabel;
class KeyCap;

// One shortcut: its title on the left, cut off when too long, and its key cap
// always at the right edge, written in the given notation.
class ShortcutRow : public QWidget {
public:
    explicit ShortcutRow(const ShortcutItem& item, KeyText::Notation notation = KeyText::Notation::desktop,
                         QWidget* parent = nullptr);

private:
    FittedLabel* title_;
    KeyCap* keyCap_;
};

} // namespace tavlin
