// The program's own icon: a white command key on a dark rounded square, drawn from the
// SVG built into the program.
#include "platform/linux/desktop/QtDesktop.h"

#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <gtest/gtest.h>

TEST(ProgramIcon, TheBuiltInSvgDrawsACommandKeyInARoundedSquare) {
    QSvgRenderer renderer(QStringLiteral(":/tavlin/tavlin.svg"));
    ASSERT_TRUE(renderer.isValid());
    QImage image(96, 96, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();

    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);            // rounded corner: transparent
    const QColor body = image.pixelColor(48, 6);          // top edge of the square: dark
    EXPECT_EQ(body.alpha(), 255);
    EXPECT_LT(body.lightness(), 80);
    // The loops of the key: white strokes at the four corners of the glyph's square.
    const QColor loop = image.pixelColor(int(38 * 96 / 24.0 / 4), int(30 * 96 / 24.0 / 4)); // (9.5, 7.5)
    EXPECT_GT(loop.lightness(), 180);
}

// Under Plasma Qt takes "breeze" for the icon theme and its fallback; without it
// installed, applications' icons in hicolor are still found.
TEST(ThemeIcon, FoundInHicolorWhenTheDesktopsThemeIsMissing) {
    TempDir icons;
    const QString hicolor = QString::fromStdString(icons / "hicolor");
    ASSERT_TRUE(QDir().mkpath(hicolor + "/48x48/apps"));
    QFile index(hicolor + "/index.theme");
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\nType=Fixed\n");
    index.close();
    QImage square(48, 48, QImage::Format_ARGB32);
    square.fill(Qt::red);
    ASSERT_TRUE(square.save(hicolor + "/48x48/apps/org.example.Editor.png"));

    const QStringList paths = QIcon::themeSearchPaths();
    const QString theme = QIcon::themeName(), fallback = QIcon::fallbackThemeName();
    QIcon::setThemeSearchPaths({QString::fromStdString(icons.path())});
    QIcon::setThemeName(QStringLiteral("breeze"));
    QIcon::setFallbackThemeName(QStringLiteral("breeze"));
    const auto icon = tavlin::platform::QtDesktop::themeIcon("org.example.Editor", 48);
    EXPECT_TRUE(icon);
    if (icon) {
        EXPECT_EQ(icon->width, 48);
    }
    EXPECT_FALSE(tavlin::platform::QtDesktop::themeIcon("org.example.Missing", 48));
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(theme);
    QIcon::setFallbackThemeName(fallback);
}
