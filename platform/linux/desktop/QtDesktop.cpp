#include "platform/linux/desktop/QtDesktop.h"

#include "platform/linux/desktop/AccessibilitySettings.h"

#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLoggingCategory>
#include <QProcess>
#include <QScreen>
#include <QUrl>

#include <algorithm>
#include <cstdlib>

Q_LOGGING_CATEGORY(lcDesktop, "tavlin.desktop")

namespace tavlin::platform {
namespace {

std::shared_ptr<const Image> imageOf(const QIcon& icon, int size) {
    if (icon.isNull()) return nullptr;
    QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_RGBA8888);
    if (image.isNull()) return nullptr;
    auto result = std::make_shared<Image>();
    result->width = image.width();
    result->height = image.height();
    result->rgba.reserve(std::size_t(image.width()) * image.height() * 4);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = image.constScanLine(y);
        result->rgba.insert(result->rgba.end(), line, line + std::size_t(image.width()) * 4);
    }
    return result;
}

Screen screenOf(const QScreen* screen) {
    const QRect frame = screen->availableGeometry();
    return Screen{Rect{double(frame.x()), double(frame.y()), double(frame.width()), double(frame.height())}};
}

// Qt takes the icon theme the desktop names for installed: under Plasma "breeze", as its
// own fallback too. Where that theme is missing (a Plasma installed without it, a theme
// set but removed), every themed lookup fails, hicolor's included. hicolor, where
// applications install their icons, is then the fallback, as freedesktop.org's icon
// theme rules have it.
void ensureInstalledFallbackTheme() {
    const auto installed = [](const QString& theme) {
        if (theme.isEmpty()) return false;
        const QStringList paths = QIcon::themeSearchPaths();
        return std::any_of(paths.begin(), paths.end(), [&theme](const QString& path) {
            return QFileInfo::exists(path + u'/' + theme + QStringLiteral("/index.theme"));
        });
    };
    const QString hicolor = QStringLiteral("hicolor");
    if (QIcon::fallbackThemeName() != hicolor && !installed(QIcon::fallbackThemeName()))
        QIcon::setFallbackThemeName(hicolor);
}

} // namespace

std::optional<Screen> QtDesktop::mainScreen() {
    const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return std::nullopt;
    return screenOf(screen);
}

std::vector<Screen> QtDesktop::screens() {
    std::vector<Screen> result;
    for (const QScreen* screen : QGuiApplication::screens()) result.push_back(screenOf(screen));
    return result;
}

std::shared_ptr<const Image> QtDesktop::themeIcon(const std::string& name, int size) {
    if (name.empty()) return nullptr;
    const QString qname = QString::fromStdString(name);
    if (qname.startsWith('/')) return imageOf(QIcon(qname), size);
    ensureInstalledFallbackTheme();
    return imageOf(QIcon::fromTheme(qname), size);
}

bool QtDesktop::openURL(std::string_view url) {
    if (url == AccessibilitySettings::link) {
        const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
        const auto tool = AccessibilitySettings::installed(desktop ? desktop : "");
        if (!tool) {
            qCInfo(lcDesktop) << "no accessibility settings of this desktop are installed";
            return false;
        }
        QStringList arguments;
        for (const auto& argument : tool->arguments) arguments << QString::fromStdString(argument);
        const bool started = QProcess::startDetached(QString::fromStdString(tool->program), arguments);
        if (!started) qCWarning(lcDesktop) << "can't start" << tool->program.c_str();
        return started;
    }
    const QUrl parsed(QString::fromUtf8(url.data(), qsizetype(url.size())), QUrl::StrictMode);
    const bool opened = parsed.isValid() && QDesktopServices::openUrl(parsed);
    if (!opened) qCWarning(lcDesktop) << "can't open" << parsed.toString();
    return opened;
}

} // namespace tavlin::platform
