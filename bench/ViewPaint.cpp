// Figures for the overlay view without a display (not a test): for the sample grid (a
// GNOME desktop's common rows and a code editor's 80 menu rows) in a 1120 × 648 panel,
// the median and 95th percentile over ROUNDS of
//   built    a new view made from the overlay value,
//   laid out its first layout at the panel's size (columns dealt, cards and rows made),
//   painted  one paint of the whole view into an image (the shadow drawn afresh),
//   repaint  one more paint of the same view (what a kept view costs at a show),
//   changed  a new view for the same rows but one title, made, laid out and painted
//            after taking over from the view before it (what a show whose menus
//            changed costs).
//
//   tavlin_view_paint [ROUNDS]
#include "TavlinUI/Overlay/OverlayView.h"
#include "tools/render/SampleOverlays.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct Figures {
    const char* name;
    std::vector<double> ms;
};

void print(Figures& f) {
    std::sort(f.ms.begin(), f.ms.end());
    const double median = f.ms[f.ms.size() / 2];
    const double p95 = f.ms[std::min(f.ms.size() - 1, f.ms.size() * 95 / 100)];
    std::printf("  %-10s median %6.2f ms, p95 %6.2f ms, min %6.2f ms\n", f.name, median, p95, f.ms.front());
}

double since(QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    const QSize size(1120, 648);
    const tavlin::ShortcutOverlay overlay = tavlin::SampleOverlays::grid();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);

    std::vector<tavlin::ShortcutItem> rows = overlay.shortcuts();
    rows[20] = tavlin::ShortcutItem(rows[20].group(), rows[20].title() + "!", rows[20].keys());
    const tavlin::ShortcutOverlay changedOverlay(overlay.appName(), overlay.appIcon(), rows, true, {}, {});

    Figures built{"built", {}}, laidOut{"laid out", {}}, painted{"painted", {}}, repaint{"repaint", {}},
        changed{"changed", {}};
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        auto view = std::make_unique<tavlin::OverlayView>(overlay);
        built.ms.push_back(since(timer));

        view->setAttribute(Qt::WA_DontShowOnScreen);
        view->resize(size);
        timer.restart();
        view->show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        laidOut.ms.push_back(since(timer));

        for (Figures* figures : {&painted, &repaint}) {
            image.fill(Qt::transparent);
            timer.restart();
            view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            figures->ms.push_back(since(timer));
        }

        timer.restart();
        auto next = std::make_unique<tavlin::OverlayView>(changedOverlay);
        next->takeOverFrom(*view);
        view.reset();
        next->setAttribute(Qt::WA_DontShowOnScreen);
        next->resize(size);
        next->show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        image.fill(Qt::transparent);
        next->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        changed.ms.push_back(since(timer));
    }
    std::printf("overlay view, sample grid in a %d x %d panel, %d rounds:\n", size.width(), size.height(), rounds);
    for (Figures* figures : {&built, &laidOut, &painted, &repaint, &changed}) print(*figures);
    return 0;
}
