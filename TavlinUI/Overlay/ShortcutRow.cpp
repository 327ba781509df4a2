#include "TavlinUI/Overlay/ShortcutRow.h"

#include "TavlinUI/Overlay/DisplayText.h"
#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/KeyCap.h"
#include "TavlinUI/Overlay/OverlayStyle.h"

#include <QHBoxLayout>

namespace tavlin {
namespace {

constexpr QChar untitled{0x2014}; // em dash

} // namespace

ShortcutRow::ShortcutRow(const ShortcutItem& item, KeyText::Notation notation, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("shortcutRow"));
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The row's 8-point spacing is part of the flexible space below: a box layout puts
    // its spacing between a widget and a spacer item too, on one side only.
    layout->setSpacing(0);

    // A title that would draw as nothing still leaves its row recognisable: a dimmed dash
    // stands in for it, next to the key combination that is the row's point.
    const QString title = OverlayStyle::qs(item.title());
    const bool blank = DisplayText::looksBlank(title);
    title_ = new FittedLabel(blank ? QString(untitled) : title, OverlayStyle::font(13.5),
                             blank ? OverlayStyle::tertiary() : OverlayStyle::primary(), 1.0, this);
    if (blank) title_->setAccessibleName(title);
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
