#include "TavlinUI/Overlay/OverlayHeader.h"

#include "TavlinUI/Overlay/AppIconView.h"
#include "TavlinUI/Overlay/CloseButton.h"
#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/OverlayStyle.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavlin {

namespace {
const char* const unnamedApplication = QT_TRANSLATE_NOOP("Overlay", "現在のアプリ");
} // namespace

using TextStyle = OverlayStyle::TextStyle;

OverlayHeader::OverlayHeader(const ShortcutOverlay& overlay, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("header"));
    auto* band = new QHBoxLayout(this);
    band->setContentsMargins(24, 18, 24, 18);
    band->setSpacing(12);

    if (overlay.appIcon()) {
        auto* icon = new AppIconView(*overlay.appIcon(), 38, this);
        icon->setObjectName(QStringLiteral("appIcon"));
        band->addWidget(icon, 0, Qt::AlignVCenter);
    }

    auto* titleBlock = new QVBoxLayout;
    titleBlock->setSpacing(2);
    titleBlock->setContentsMargins(0, 0, 0, 0);
    // The name is the application's own; only the name the shell gives an application
    // without one is a text of ours.
    const QString name = overlay.appName() == unnamedApplication
                             ? QCoreApplication::translate("Overlay", unnamedApplication)
                             : OverlayStyle::qs(overlay.appName());
    auto* title = new FittedLabel(name,
                                  OverlayStyle::font(TextStyle::title2, QFont::DemiBold),
                                  OverlayStyle::primary(), 1.0, this);
    title->setObjectName(QStringLiteral("appTitle"));
    auto* subtitle = new FittedLabel(QCoreApplication::translate("Overlay", "使用できるショートカット"),
                                     OverlayStyle::font(TextStyle::subheadline),
                                     OverlayStyle::secondary(), 1.0, this);
    subtitle->setObjectName(QStringLiteral("subtitle"));
    titleBlock->addWidget(title);
    titleBlock->addWidget(subtitle);
    band->addLayout(titleBlock, 1);

    auto* close = new CloseButton(this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QAbstractButton::clicked, this, [action = overlay.close()] {
        if (action) action();
    });
    band->addWidget(close, 0, Qt::AlignVCenter);
}

} // namespace tavlin
