#include "TavlinUI/Overlay/ShortcutRow.h"

#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/KeyCap.h"
#include "TavlinUI/Overlay/OverlayStyle.h"

#include <QHBoxLayout>

namespace tavlin {

ShortcutRow::ShortcutRow(const ShortcutItem& item, KeyText::Notation notation, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("shortcutRow"));
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The row's 8-point spacing is part of the flexible space below: a box layout puts
    // its spacing between a widget and a spacer item too, on one side only.
    layout->setSpacing(0);

    title_ = new FittedLabel(OverlayStyle::qs(item.title()), OverlayStyle::font(13.5),
                             OverlayStyle::primary(), 1.0, this);
    title_->setObjectName(QStringLiteral("rowTitle"));
    keyCap_ = new KeyCap(KeyText::write(item.keys(), notation), this);
    keyCap_->setObjectName(QStringLiteral("keyCap"));

    layout->addWidget(title_, 0, Qt::AlignVCenter);
    // The flexible space is at least 8 points, with the row's 8-point spacing on either
    // side of it.
    layout->addSpacerItem(new QSpacerItem(8 + 8 + 8, 0, QSizePolicy::MinimumExpanding, QSizePolicy::Minimum));
    layout->addWidget(keyCap_, 0, Qt::AlignVCenter);
}

} // namespace tavlin
