// The program's own icon, for the tray and the windows, drawn from the SVG built into
// the program; the theme's icons of other applications.
#include "platform/linux/desktop/QtDesktop.h"
#include "platform/linux/desktop/QtStatusItem.h"

#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <gtest/gtest.h>

TEST(ProgramIcon, IsDrawnFromTheBuiltInSvg) {
    const QIcon icon = tavlin::platform::QtStatusItem::programIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(48, 48).toImage();
    EXPECT_EQ(image.pixelColor(24, 4).alpha(), 255); // drawn, not a blank square
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
