#pragma once

#include <QAbstractButton>

namespace tavlin {

// The header's close control: a cross in a filled circle, without button chrome.
class CloseButton : public QAbstractButton {
public:
    explicit CloseButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavlin
