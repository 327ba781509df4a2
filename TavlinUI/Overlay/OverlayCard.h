#pragma once

#include "TavlinUI/Overlay/KeyText.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QWidget>

namespace tavlin {

class ShortcutGrid;

// The dark translucent rounded card with the header, a separator, the content area
// (permission notice, empty notice or shortcut grid) and the footer.
class OverlayCard : public QWidget {
public:
    explicit OverlayCard(const ShortcutOverlay& overlay, KeyText::Notation notation = KeyText::Notation::desktop,
                         QWidget* parent = nullptr);

    static constexpr double cornerRadius = 24;
    // The shortcut grid, when the content area shows one.
    ShortcutGrid* grid() const { return grid_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* makeContent(const ShortcutOverlay& overlay, KeyText::Notation notation);

    ShortcutGrid* grid_ = nullptr;
};

} // namespace tavlin
