#include "TavlinUI/Overlay/EmptyNotice.h"

#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/OverlayStyle.h"
#include "TavlinUI/Overlay/SymbolView.h"

#include <QCoreApplication>
#include <QVBoxLayout>

namespace tavlin {

using TextStyle = OverlayStyle::TextStyle;

EmptyNotice::EmptyNotice(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("emptyNotice"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(12);

    auto* symbol = new SymbolView(Symbols::Symbol::keyboard, 40, OverlayStyle::secondary(), this);
    symbol->setObjectName(QStringLiteral("emptySymbol"));
    auto* title = new FittedLabel(
        QCoreApplication::translate("Overlay", "この画面ではショートカットが見つかりませんでした"),
        OverlayStyle::font(TextStyle::headline), OverlayStyle::primary(), 1.0, this);
    title->setObjectName(QStringLiteral("emptyTitle"));
    auto* message = new FittedLabel(
        QCoreApplication::translate("Overlay", "メニューが切り替わる画面では、画面を開いてから再表示してください。"),
        OverlayStyle::font(TextStyle::subheadline), OverlayStyle::secondary(), 1.0, this);
    message->setObjectName(QStringLiteral("emptyMessage"));

    layout->addStretch(1);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(message, 0, Qt::AlignHCenter);
    layout->addStretch(1);
}

} // namespace tavlin
