#pragma once

#include "platform/Image.h"

#include <QImage>
#include <QWidget>

namespace tavlin {

// The target application's icon, stretched to the widget's square.
class AppIconView : public QWidget {
public:
    AppIconView(const platform::Image& image, int side, QWidget* parent = nullptr);
    // The icon as a Qt image; a null image when the raster's size and bytes disagree.
    static QImage toQImage(const platform::Image& image);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

} // namespace tavlin
