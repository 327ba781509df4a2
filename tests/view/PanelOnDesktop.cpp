// Shows the overlay panel with a sample overlay on the real desktop and prints its X11
// window id and whether it is cut to the card's shape. The first close hides it and
// shows it again half a second later, as the shell reuses its one panel, after taking
// the screen's compositing manager selection itself, so that the panel finds a
// compositor at the second show; the second close ends the program (as does a minute).
// Driven by panel-on-x11.sh.
#include "TavlinUI/Overlay/OverlayPanel.h"
#include "TavlinUI/Overlay/QtPanel.h"
#include "platform/linux/x11/X11PanelHints.h"
#include "tools/render/SampleOverlays.h"

#include <QApplication>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using Connection = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

// Owns _NET_WM_CM_S<screen> on a connection of its own, as a compositing manager does,
// for as long as the returned connection is open; null if it could not.
Connection pretendToBeACompositor() {
    int screenNumber = 0;
    Connection c(xcb_connect(nullptr, &screenNumber), &xcb_disconnect);
    if (xcb_connection_has_error(c.get())) return Connection(nullptr, &xcb_disconnect);
    auto it = xcb_setup_roots_iterator(xcb_get_setup(c.get()));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    const std::string name = "_NET_WM_CM_S" + std::to_string(screenNumber);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c.get(), xcb_intern_atom(c.get(), 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr);
    if (!it.rem || !atom) {
        std::free(atom);
        return Connection(nullptr, &xcb_disconnect);
    }
    const xcb_window_t owner = xcb_generate_id(c.get());
    xcb_create_window(c.get(), XCB_COPY_FROM_PARENT, owner, it.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(c.get(), owner, atom->atom, XCB_CURRENT_TIME);
    std::free(atom);
    // A round trip, so that the selection is owned before the panel asks.
    std::free(xcb_get_input_focus_reply(c.get(), xcb_get_input_focus(c.get()), nullptr));
    return c;
}

void printShape(const tavlin::QtPanel& panel) {
    std::printf("shaped %d\n", panel.window().isShaped() ? 1 : 0);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tavlin::QtPanel panel({200, 100, 1000, 640});
    panel.setWindowHints(std::make_unique<tavlin::platform::X11PanelHints>());
    int closes = 0;
    Connection compositor(nullptr, &xcb_disconnect);
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
            compositor = pretendToBeACompositor();
            if (!compositor) std::printf("no compositor selection\n");
            panel.makeKeyAndOrderFront();
            printShape(panel);
            std::printf("shown again\n");
            std::fflush(stdout);
        });
    }));
    panel.makeKeyAndOrderFront();
    printShape(panel);
    std::printf("window 0x%llx\n", static_cast<unsigned long long>(panel.window().winId()));
    std::fflush(stdout);
    QTimer::singleShot(60000, &app, [&] { app.exit(1); });
    return app.exec();
}
