#pragma once

#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QWidget>

#include <vector>

namespace tavlin {

class FittedLabel;

// The key symbols in use with their names ("⌘ Command  ⇧ Shift ..."), on one line.
// When the line is too long its texts shrink together, down to 0.72 of their size,
// and only then is the end of the line cut off.
class LegendLine : public QWidget {
public:
    explicit LegendLine(const std::vector<KeyLegend>& legends, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr double minimumScale = 0.72;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Item {
        QWidget* box;
        FittedLabel* symbol;
        FittedLabel* name;
    };
    void placeItems();
    int lineHeight() const;

    std::vector<Item> items_;
};

} // namespace tavlin
