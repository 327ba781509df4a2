#include "TavlinUI/Overlay/OverlayFooter.h"

#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/OverlayStyle.h"

#include <QCoreApplication>
#include <QHBoxLayout>

namespace tavlin {

OverlayFooter::OverlayFooter(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("footer"));
    auto* band = new QHBoxLayout(this);
    band->setContentsMargins(24, 13, 24, 13);
    band->setSpacing(8);
    const QFont caption = OverlayStyle::font(OverlayStyle::TextStyle::caption);
    auto* toggle = new FittedLabel(QCoreApplication::translate("Overlay", "⌥ Space で表示 / 非表示"),
                                   caption, OverlayStyle::tertiary(), 1.0, this);
    toggle->setObjectName(QStringLiteral("footerToggle"));
    auto* close = new FittedLabel(QCoreApplication::translate("Overlay", "Esc で閉じる"), caption,
                                  OverlayStyle::tertiary(), 1.0, this);
    close->setObjectName(QStringLiteral("footerClose"));
    band->addWidget(toggle);
    band->addStretch(1);
    band->addWidget(close);
}

} // namespace tavlin
