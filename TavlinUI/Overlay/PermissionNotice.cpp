#include "TavlinUI/Overlay/PermissionNotice.h"

#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/OverlayStyle.h"
#include "TavlinUI/Overlay/PillButton.h"
#include "TavlinUI/Overlay/SymbolView.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace tavlin {

using TextStyle = OverlayStyle::TextStyle;

PermissionNotice::PermissionNotice(std::function<void()> openSettings, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("permissionNotice"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(16);

    auto* symbol = new SymbolView(Symbols::Symbol::handRaisedFill, 42, OverlayStyle::orange(), this);
    symbol->setObjectName(QStringLiteral("permissionSymbol"));

    auto* title = new FittedLabel(QCoreApplication::translate("Overlay", "最初の1回だけ許可が必要です"),
                                  OverlayStyle::font(TextStyle::title3, QFont::DemiBold),
                                  OverlayStyle::primary(), 1.0, this);
    title->setObjectName(QStringLiteral("permissionTitle"));

    auto* message = new QLabel(QCoreApplication::translate(
                                   "Overlay", "各アプリのメニューを読むため、Tavlinを\n"
                                              "「アクセシビリティ」で許可してください。"),
                               this);
    message->setObjectName(QStringLiteral("permissionMessage"));
    message->setTextFormat(Qt::PlainText);
    message->setAlignment(Qt::AlignHCenter);
    message->setFont(OverlayStyle::font(TextStyle::body));
    QPalette palette = message->palette();
    palette.setColor(QPalette::WindowText, OverlayStyle::secondary());
    message->setPalette(palette);

    auto* button = new PillButton(PillButton::Kind::prominent,
                                  QCoreApplication::translate("Overlay", "許可画面を開く"),
                                  std::nullopt, this);
    button->setObjectName(QStringLiteral("permissionButton"));
    connect(button, &QAbstractButton::clicked, this, [openSettings = std::move(openSettings)] {
        if (openSettings) openSettings();
    });

    auto* hint = new FittedLabel(QCoreApplication::translate("Overlay", "許可後、もう一度 ⌥ Space を押してください"),
                                 OverlayStyle::font(TextStyle::caption), OverlayStyle::tertiary(),
                                 1.0, this);
    hint->setObjectName(QStringLiteral("permissionHint"));

    layout->addStretch(1);
    for (QWidget* item : {static_cast<QWidget*>(symbol), static_cast<QWidget*>(title),
                          static_cast<QWidget*>(message), static_cast<QWidget*>(button),
                          static_cast<QWidget*>(hint)})
        layout->addWidget(item, 0, Qt::AlignHCenter);
    layout->addStretch(1);
}

} // namespace tavlin
