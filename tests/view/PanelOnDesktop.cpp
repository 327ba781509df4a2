// Shows the overlay panel with a sample overlay on the real desktop and prints its X11
// window id. The first close hides it and shows it again half a second later, as the
// shell reuses its one panel; the second close ends the program (as does a minute).
// Driven by panel-on-x11.sh.
#include "TavlinUI/Overlay/OverlayPanel.h"
#include "TavlinUI/Overlay/QtPanel.h"
#include "tools/render/SampleOverlays.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tavlin::QtPanel panel({200, 100, 1000, 640});
    int closes = 0;
    panel.setContent(tavlin::SampleOverlays::grid({}, [&] {
        std::printf("close\n");
        std::fflush(stdout);
        panel.orderOut();
        if (++closes == 2) {
            QTimer::singleShot(0, &app, &QApplication::quit);
            return;
        }
        QTimer::singleShot(500, &app, [&] {
            panel.setContent(tavlin::SampleOverlays::permission({}, [&] {
                std::printf("close\n");
                std::fflush(stdout);
                panel.orderOut();
                QTimer::singleShot(0, &app, &QApplication::quit);
            }));
            panel.makeKeyAndOrderFront();
            std::printf("shown again\n");
            std::fflush(stdout);
        });
    }));
    panel.makeKeyAndOrderFront();
    std::printf("window 0x%llx\n", static_cast<unsigned long long>(panel.window().winId()));
    std::fflush(stdout);
    QTimer::singleShot(60000, &app, [&] { app.exit(1); });
    return app.exec();
}
