#include "TavlinUI/Overlay/GroupCard.h"

#include "TavlinUI/Overlay/CommonRowText.h"
#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/OverlayStyle.h"
#include "TavlinUI/Overlay/ShortcutRow.h"
#include "TavlinUI/Text.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace tavlin {

GroupCard::GroupCard(const GroupEntry& group, KeyText::Notation notation, QWidget* parent)
    : QWidget(parent), group_(group), notation_(notation) {
    setObjectName(QStringLiteral("groupCard"));
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(7);

    auto* heading = new FittedLabel(OverlayStyle::qs(Text::upper(CommonRowText::group(group.name).toStdString())),
                                    OverlayStyle::font(OverlayStyle::TextStyle::caption, QFont::DemiBold),
                                    OverlayStyle::secondary(), 1.0, this);
    heading->setObjectName(QStringLiteral("groupHeading"));
    layout->addWidget(heading);
    for (const ShortcutItem& item : group.items) layout->addWidget(new ShortcutRow(CommonRowText::shown(item), notation, this));
}

bool GroupCard::shows(const GroupEntry& group, KeyText::Notation notation) const {
    return notation == notation_ && group.name == group_.name && ShortcutOverlay::sameRows(group.items, group_.items);
}

void GroupCard::paintEvent(QPaintEvent*) {
    // Filled at each paint: a copy kept per card would save little and, drawn from an
    // image of the whole card, leave the process a megabyte larger.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()), 13, 13);
    painter.fillPath(card, OverlayStyle::black(0.16));
}

} // namespace tavlin
