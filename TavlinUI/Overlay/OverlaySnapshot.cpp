#include "TavlinUI/Overlay/OverlaySnapshot.h"

#include "TavlinUI/Overlay/OverlayView.h"

#include <QCoreApplication>
#include <QPainter>

#include <cmath>

namespace tavlin {

QImage OverlaySnapshot::render(const ShortcutOverlay& overlay, QSize panelSize, double scale, KeyText::Notation notation) {
    OverlayView view(overlay, notation);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(panelSize);
    view.show(); // lays the tree out, including the grid's columns for this width
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();

    QImage image(QSize(static_cast<int>(std::lround(panelSize.width() * scale)),
                       static_cast<int>(std::lround(panelSize.height() * scale))),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace tavlin
