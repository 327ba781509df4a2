#pragma once

#include "TavlinUI/Overlay/Symbols.h"

#include <QAbstractButton>
#include <QFont>

#include <optional>

namespace tavlin {

// A rounded push button drawn the same on every desktop: `prominent` is filled with
// the accent colour (large), `bordered` is a light bezel (small) with an optional
// symbol before its title.
class PillButton : public QAbstractButton {
public:
    enum class Kind { prominent, bordered };

    PillButton(Kind kind, const QString& title, std::optional<Symbols::Symbol> symbol = std::nullopt,
               QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double symbolSide() const;

    Kind kind_;
    std::optional<Symbols::Symbol> symbol_;
    QFont font_;
    double padX_, padY_, gap_;
};

} // namespace tavlin
