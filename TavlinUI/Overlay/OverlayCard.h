#pragma once

#include "TavlinUI/Overlay/KeyText.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QWidget>

namespace tavlin {

// The dark translucent rounded card with the header, a separator, the content area
// (permission notice, empty notice or shortcut grid) and the footer.
class OverlayCard : public QWidget {
public:
    explicit OverlayCard(const ShortcutOverlay& overlay, KeyText::Notation notation = KeyText::Notation::desktop,
                         QWidget* parent = nullptr);

    static constexpr double cornerRadius = 24;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static QWidget* makeContent(const ShortcutOverlay& overlay, KeyText::Notation notation, QWidget* parent);
};

} // namespace tavlin
