#include "TavlinUI/Overlay/AppIconView.h"

#include <QPainter>

#include <cstddef>

namespace tavlin {

AppIconView::AppIconView(const platform::Image& image, int side, QWidget* parent)
    : QWidget(parent), image_(toQImage(image)) {
    setFixedSize(side, side);
}

QImage AppIconView::toQImage(const platform::Image& image) {
    if (image.width <= 0 || image.height <= 0) return {};
    const std::size_t bytes = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4;
    if (image.rgba.size() < bytes) return {};
    const QImage view(image.rgba.data(), image.width, image.height, image.width * 4,
                      QImage::Format_RGBA8888);
    return view.copy(); // own the pixels: the raster may go away before the widget
}

void AppIconView::paintEvent(QPaintEvent*) {
    if (image_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(QRectF(rect()), image_); // stretched to the square on purpose
}

} // namespace tavlin
