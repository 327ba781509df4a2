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

    // Whether the card draws `group` in `notation` exactly as a new card would.
    bool shows(const GroupEntry& group, KeyText::Notation notation) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GroupEntry group_;
    KeyText::Notation notation_;
};

} // namespace tavlin
