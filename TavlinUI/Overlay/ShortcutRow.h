#pragma once

#include "TavlinUI/ShortcutItem.h"

#include <QWidget>

namespace tavlin {

class FittedLabel;
class KeyCap;

// One shortcut: its title on the left, cut off when too long, and its key cap
// always at the right edge. A title that would draw as nothing shows as a dimmed dash.
class ShortcutRow : public QWidget {
public:
    explicit ShortcutRow(const ShortcutItem& item, QWidget* parent = nullptr);

private:
    FittedLabel* title_;
    KeyCap* keyCap_;
};

} // namespace tavlin
