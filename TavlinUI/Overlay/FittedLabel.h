#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace tavlin {

// One line of text that never wraps. When the width it gets is too small, it first
// shrinks its font, down to `minimumScale` of the size, and then cuts the text off
// with an ellipsis. The text is drawn as DisplayText makes it: on one line, without
// control characters, and isolated from its surroundings for bidirectional layout.
class FittedLabel : public QWidget {
public:
    FittedLabel(const QString& text, const QFont& font, const QColor& color,
                double minimumScale = 1.0, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    // The text as drawn at the current width, possibly cut off (before its isolation).
    QString displayedText() const;
    // The factor the font is drawn at, from minimumScale to 1.
    double displayedScale() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The text's width at full size, measured once per resolution.
    struct Natural {
        int dpi = 0;
        double width = 0;
    };
    // How the text fits the current width: worked out once per width, not at every paint.
    struct Fit {
        int width = -1;
        double natural = -1;
        double scale = 1.0;
        QString text;
        QFont font;
    };
    double naturalWidth() const;
    const Fit& fit() const;
    QFont scaledFont(double scale) const;

    QString text_;
    QString drawable_;
    QFont font_;
    QColor color_;
    double minimumScale_;
    mutable Natural natural_;
    mutable Fit fit_;
};

} // namespace tavlin
