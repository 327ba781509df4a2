#include "TavlinUI/Overlay/LegendLine.h"

#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/OverlayStyle.h"

#include <algorithm>
#include <cmath>

namespace tavlin {

namespace {
constexpr double legendSize = 10.5;
constexpr int itemSpacing = 10;
constexpr int pairSpacing = 3;
} // namespace

LegendLine::LegendLine(const std::vector<KeyLegend>& legends, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("legendLine"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    for (const KeyLegend& legend : legends) {
        auto* box = new QWidget(this);
        box->setObjectName(QStringLiteral("legendItem"));
        auto* symbol = new FittedLabel(OverlayStyle::qs(legend.symbol),
                                       OverlayStyle::font(legendSize, QFont::DemiBold),
                                       OverlayStyle::primary(), minimumScale, box);
        symbol->setObjectName(QStringLiteral("legendSymbol"));
        auto* name = new FittedLabel(OverlayStyle::qs(legend.name), OverlayStyle::font(legendSize),
                                     OverlayStyle::secondary(), minimumScale, box);
        name->setObjectName(QStringLiteral("legendName"));
        items_.push_back({box, symbol, name});
    }
}

int LegendLine::lineHeight() const {
    int height = 0;
    for (const Item& item : items_)
        height = std::max({height, item.symbol->sizeHint().height(), item.name->sizeHint().height()});
    return height;
}

QSize LegendLine::sizeHint() const {
    int width = 0;
    for (const Item& item : items_)
        width += item.symbol->sizeHint().width() + pairSpacing + item.name->sizeHint().width();
    if (!items_.empty()) width += itemSpacing * static_cast<int>(items_.size() - 1);
    return QSize(width, lineHeight());
}

QSize LegendLine::minimumSizeHint() const {
    return QSize(0, lineHeight());
}

void LegendLine::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeItems();
}

void LegendLine::placeItems() {
    // One factor for every text, so that the line keeps its proportions while it shrinks.
    double texts = 0;
    for (const Item& item : items_) texts += item.symbol->sizeHint().width() + item.name->sizeHint().width();
    const double gaps = sizeHint().width() - texts;
    // Each scaled width is rounded up to whole points: leave a point for that per text.
    const double rounding = 2.0 * static_cast<double>(items_.size());
    const double scale = texts <= 0 || width() >= sizeHint().width()
                             ? 1.0
                             : std::clamp((width() - gaps - rounding) / texts, minimumScale, 1.0);

    const int h = height();
    int x = 0;
    for (const Item& item : items_) {
        const int room = width() - x;
        if (room <= 0) {
            item.box->hide(); // past the end of the line
            continue;
        }
        const int symbolHint = static_cast<int>(std::ceil(item.symbol->sizeHint().width() * scale));
        const int nameHint = static_cast<int>(std::ceil(item.name->sizeHint().width() * scale));
        const int symbolWidth = std::min(symbolHint, room);
        const int nameWidth = std::clamp(room - symbolWidth - pairSpacing, 0, nameHint);
        const int boxWidth = symbolWidth + (nameWidth > 0 ? pairSpacing + nameWidth : 0);
        const int symbolHeight = item.symbol->sizeHint().height();
        const int nameHeight = item.name->sizeHint().height();
        item.box->setGeometry(x, 0, boxWidth, h);
        item.symbol->setGeometry(0, (h - symbolHeight) / 2, symbolWidth, symbolHeight);
        item.name->setGeometry(symbolWidth + pairSpacing, (h - nameHeight) / 2, nameWidth, nameHeight);
        item.name->setVisible(nameWidth > 0);
        item.box->show();
        x += boxWidth + itemSpacing;
    }
}

} // namespace tavlin
