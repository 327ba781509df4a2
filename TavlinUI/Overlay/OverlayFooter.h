#pragma once

#include <QWidget>

namespace tavlin {

// The card's bottom band: the two keys that show and close the overlay.
class OverlayFooter : public QWidget {
public:
    explicit OverlayFooter(QWidget* parent = nullptr);
};

} // namespace tavlin
