#pragma once

#include "TavlinUI/Overlay/KeyText.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QWidget>

namespace tavlin {

// One group: its heading in upper case and its rows, on a dark rounded card.
class GroupCard : public QWidget {
public:
    explicit GroupCard(const GroupEntry& group, KeyText::Notation notation = KeyText::Notation::desktop,
                       QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavlin
