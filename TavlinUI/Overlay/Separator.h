#pragma once

#include <QWidget>

namespace tavlin {

// A thin full-width divider line drawn at the given opacity.
class Separator : public QWidget {
public:
    explicit Separator(double opacity, QWidget* parent = nullptr);
    double opacity() const { return opacity_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double opacity_;
};

} // namespace tavlin
