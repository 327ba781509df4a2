// Renders sample overlays to PNG files without a display:
//
//   tavlin-render [--size WxH] [--scale S] [--locale NAME] [--key-symbols] OUTPUT_DIR
//
// writes permission.png, empty.png and grid.png (a GNOME desktop's always-available
// rows and a code editor's 80 menu rows) for a panel of the given size (default
// 1000 × 640 points) at the given device pixel ratio (default 1). The overlay speaks
// the language that Tavlin would choose for the locale (default: the system's, e.g.
// --locale ja_JP or --locale en_US), and the editor's menus are in that language too.
// --key-symbols writes the keys in symbols, as `tavlin --key-symbols` does.
#include "TavlinUI/Overlay/InterfaceLanguage.h"
#include "TavlinUI/Overlay/OverlaySnapshot.h"
#include "tools/render/SampleOverlays.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QSize size(1000, 640);
    double scale = 1.0;
    QString outputDir;
    QLocale locale = QLocale::system();
    auto notation = tavlin::KeyText::Notation::desktop;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(QLatin1Char('x'));
            if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
        } else if (args[i] == QLatin1String("--scale") && i + 1 < args.size()) {
            scale = args[++i].toDouble();
        } else if (args[i] == QLatin1String("--locale") && i + 1 < args.size()) {
            locale = QLocale(args[++i]);
        } else if (args[i] == QLatin1String("--key-symbols")) {
            notation = tavlin::KeyText::Notation::symbols;
        } else {
            outputDir = args[i];
        }
    }
    if (outputDir.isEmpty() || size.isEmpty() || scale <= 0) {
        std::fprintf(stderr, "usage: tavlin-render [--size WxH] [--scale S] [--locale NAME] [--key-symbols] OUTPUT_DIR\n");
        return 2;
    }
    QDir().mkpath(outputDir);
    const tavlin::InterfaceLanguage language(tavlin::InterfaceLanguage::choose(locale));
    const auto words = language.language() == QLatin1String(tavlin::InterfaceLanguage::sourceLanguage)
                           ? tavlin::SampleOverlays::Words::japanese
                           : tavlin::SampleOverlays::Words::english;

    const struct {
        const char* file;
        tavlin::ShortcutOverlay overlay;
    } states[] = {
        {"permission.png", tavlin::SampleOverlays::permission({}, {}, words)},
        {"empty.png", tavlin::SampleOverlays::empty({}, {}, words)},
        {"grid.png", tavlin::SampleOverlays::grid({}, {}, words)},
    };
    int status = 0;
    for (const auto& state : states) {
        const QString path = QDir(outputDir).filePath(QString::fromLatin1(state.file));
        if (tavlin::OverlaySnapshot::render(state.overlay, size, scale, notation).save(path)) {
            std::printf("%s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            status = 1;
        }
    }
    return status;
}
