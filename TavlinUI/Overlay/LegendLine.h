#pragma once

#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QWidget>

#include <vector>

namespace tavlin {

// The key symbols in use with their names ("⌘ Command  ⇧ Shift ..."), on one line
// that shrinks its texts before it cuts them.
class LegendLine : public QWidget {
public:
    explicit LegendLine(const std::vector<KeyLegend>& legends, QWidget* parent = nullptr);
};

} // namespace tavlin
