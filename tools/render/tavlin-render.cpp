// Renders sample overlays to PNG files without a display:
//
//   tavlin-render [--size WxH] [--scale S] OUTPUT_DIR
//
// writes permission.png, empty.png, grid.png (the file manager's common rows and a
// code editor's 80 menu rows) and titles.png (titles that are hard to draw) for a panel of the given size (default 1000 × 640
// points) at the given device pixel ratio (default 1).
#include "TavlinUI/Overlay/OverlaySnapshot.h"
#include "tools/render/SampleOverlays.h"

#include <QApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QSize size(1000, 640);
    double scale = 1.0;
    QString outputDir;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(QLatin1Char('x'));
            if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
        } else if (args[i] == QLatin1String("--scale") && i + 1 < args.size()) {
            scale = args[++i].toDouble();
        } else {
            outputDir = args[i];
        }
    }
    if (outputDir.isEmpty() || size.isEmpty() || scale <= 0) {
        std::fprintf(stderr, "usage: tavlin-render [--size WxH] [--scale S] OUTPUT_DIR\n");
        return 2;
    }
    QDir().mkpath(outputDir);

    const struct {
        const char* file;
        tavlin::ShortcutOverlay overlay;
    } states[] = {
        {"permission.png", tavlin::SampleOverlays::permission()},
        {"empty.png", tavlin::SampleOverlays::empty()},
        {"grid.png", tavlin::SampleOverlays::grid()},
        {"titles.png", tavlin::SampleOverlays::awkwardTitles()},
    };
    int status = 0;
    for (const auto& state : states) {
        const QString path = QDir(outputDir).filePath(QString::fromLatin1(state.file));
        if (tavlin::OverlaySnapshot::render(state.overlay, size, scale).save(path)) {
            std::printf("%s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            status = 1;
        }
    }
    return status;
}
