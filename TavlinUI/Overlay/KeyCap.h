#pragma once

#include "TavlinUI/Overlay/RoundedFill.h"

#include <QString>
#include <QWidget>

namespace tavlin {

// A key combination on a light rounded cap, e.g. "⇧⌘Z".
class KeyCap : public QWidget {
public:
    explicit KeyCap(const QString& keys, QWidget* parent = nullptr);
    const QString& keys() const { return keys_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString keys_;
    RoundedFill cap_;
};

} // namespace tavlin
