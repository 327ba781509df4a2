#include "TavlinUI/Overlay/LegendLine.h"

#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/OverlayStyle.h"

#include <QHBoxLayout>

namespace tavlin {

namespace {
constexpr double legendSize = 10.5;
constexpr double minimumScale = 0.72;
} // namespace

LegendLine::LegendLine(const std::vector<KeyLegend>& legends, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("legendLine"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(10);
    for (const KeyLegend& legend : legends) {
        auto* item = new QWidget(this);
        item->setObjectName(QStringLiteral("legendItem"));
        auto* pair = new QHBoxLayout(item);
        pair->setContentsMargins(0, 0, 0, 0);
        pair->setSpacing(3);
        auto* symbol = new FittedLabel(OverlayStyle::qs(legend.symbol),
                                       OverlayStyle::font(legendSize, QFont::DemiBold),
                                       OverlayStyle::primary(), minimumScale, item);
        symbol->setObjectName(QStringLiteral("legendSymbol"));
        auto* name = new FittedLabel(OverlayStyle::qs(legend.name), OverlayStyle::font(legendSize),
                                     OverlayStyle::secondary(), minimumScale, item);
        name->setObjectName(QStringLiteral("legendName"));
        pair->addWidget(symbol, 0, Qt::AlignVCenter);
        pair->addWidget(name, 0, Qt::AlignVCenter);
        line->addWidget(item, 0, Qt::AlignVCenter);
    }
}

} // namespace tavlin
