#include "TavlinUI/Overlay/OverlayStyle.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <cmath>

namespace tavlin {

namespace {

// Widgets resolve point sizes with the whole-number logical DPI of their screen.
double logicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? std::round(screen->logicalDotsPerInchY()) : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

} // namespace

QFont OverlayStyle::font(double pixels, QFont::Weight weight) {
    QFont f;
    f.setFamilies({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("DejaVu Sans"),
                   QStringLiteral("DejaVu Sans Mono")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(pixels * 72.0 / logicalDpi());
    f.setWeight(weight);
    f.setKerning(true);
    return f;
}

double OverlayStyle::pixelSize(TextStyle style) {
    switch (style) {
    case TextStyle::title2: return 17;
    case TextStyle::title3: return 15;
    case TextStyle::headline: return 13;
    case TextStyle::body: return 13;
    case TextStyle::subheadline: return 11;
    case TextStyle::caption: return 10;
    }
    return 13;
}

QFont OverlayStyle::font(TextStyle style, QFont::Weight weight) {
    // The headline style is semibold by definition.
    if (style == TextStyle::headline && weight == QFont::Normal) weight = QFont::DemiBold;
    return font(pixelSize(style), weight);
}

QColor OverlayStyle::white(double opacity) {
    QColor c(255, 255, 255);
    c.setAlphaF(static_cast<float>(opacity));
    return c;
}

QColor OverlayStyle::black(double opacity) {
    QColor c(0, 0, 0);
    c.setAlphaF(static_cast<float>(opacity));
    return c;
}

QColor OverlayStyle::primary() { return white(0.92); }
QColor OverlayStyle::secondary() { return white(0.55); }
QColor OverlayStyle::tertiary() { return white(0.3); }
QColor OverlayStyle::orange() { return QColor(255, 159, 10); }
QColor OverlayStyle::accent() { return QColor(10, 132, 255); }
QColor OverlayStyle::cardFill() { return QColor(30, 31, 36, 238); }

QPalette OverlayStyle::darkPalette() {
    QPalette p;
    const QColor transparent(0, 0, 0, 0);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Window, transparent);
        p.setColor(group, QPalette::Base, transparent);
        p.setColor(group, QPalette::AlternateBase, white(0.05));
        p.setColor(group, QPalette::WindowText, primary());
        p.setColor(group, QPalette::Text, primary());
        p.setColor(group, QPalette::ButtonText, primary());
        p.setColor(group, QPalette::Button, white(0.1));
        p.setColor(group, QPalette::Light, white(0.2));
        p.setColor(group, QPalette::Midlight, white(0.15));
        p.setColor(group, QPalette::Mid, white(0.1));
        p.setColor(group, QPalette::Dark, black(0.5));
        p.setColor(group, QPalette::Shadow, black(0.6));
        p.setColor(group, QPalette::Highlight, accent());
        p.setColor(group, QPalette::HighlightedText, QColor(255, 255, 255));
        p.setColor(group, QPalette::ToolTipBase, QColor(44, 45, 50));
        p.setColor(group, QPalette::ToolTipText, primary());
        p.setColor(group, QPalette::PlaceholderText, tertiary());
        p.setColor(group, QPalette::BrightText, QColor(255, 255, 255));
    }
    p.setColor(QPalette::Disabled, QPalette::WindowText, tertiary());
    p.setColor(QPalette::Disabled, QPalette::Text, tertiary());
    p.setColor(QPalette::Disabled, QPalette::ButtonText, tertiary());
    return p;
}

} // namespace tavlin
