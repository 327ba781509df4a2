// Measures how long Tavlin takes from a hot-key press to an overlay on screen.
//
//   tavlin_hotkey_latency OVERLAY_WINDOW [PRESSES [PAUSE_MS]]
//
// OVERLAY_WINDOW is the overlay's X window (shown once before, so that it exists). Each
// round presses Alt+Space through XTEST and polls the server until the window is viewable
// and the pixel at its centre shows the dark card, then presses again and waits for the
// window to go, and pauses (150 ms unless given). Prints the median, the 95th percentile and the extremes of the time to
// a painted overlay.

#include "bench/XcbProbe.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using tavlin::bench::keycodeOf;
using tavlin::bench::viewable;
template <class T> using Reply = tavlin::bench::XcbReply<T>;

void pressHotKey(xcb_connection_t* c, xcb_keycode_t alt, xcb_keycode_t space) {
    for (auto [type, key] : {std::pair{XCB_KEY_PRESS, alt}, {XCB_KEY_PRESS, space}, {XCB_KEY_RELEASE, space},
                             {XCB_KEY_RELEASE, alt}})
        xcb_test_fake_input(c, type, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(c);
}

// The brightness (0-255) of the pixel at the window's centre, as on screen.
int centreBrightness(xcb_connection_t* c, xcb_window_t root, xcb_window_t window) {
    Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    if (!g) return -1;
    Reply<xcb_translate_coordinates_reply_t> t(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, root, std::int16_t(g->width / 2), std::int16_t(g->height / 2)),
        nullptr));
    if (!t) return -1;
    Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, t->dst_x, t->dst_y, 1, 1, ~0u), nullptr));
    if (!image || xcb_get_image_data_length(image.get()) < 3) return -1;
    const std::uint8_t* p = xcb_get_image_data(image.get());
    return (p[0] + p[1] + p[2]) / 3;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OVERLAY_WINDOW [PRESSES [PAUSE_MS]]\n", argv[0]);
        return 2;
    }
    const auto overlay = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    const int presses = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    const int pauseMs = argc > 3 ? std::max(0, std::atoi(argv[3])) : 150;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_keycode_t alt = keycodeOf(c, XK_Alt_L), space = keycodeOf(c, XK_space);
    const int background = viewable(c, overlay) ? -1 : centreBrightness(c, root, overlay);
    if (background < 0) {
        std::fprintf(stderr, "the overlay must exist and be hidden\n");
        return 1;
    }

    std::vector<double> ms;
    for (int i = 0; i < presses; ++i) {
        pressHotKey(c, alt, space);
        const auto start = Clock::now();
        const auto deadline = start + std::chrono::seconds(5);
        bool shown = false;
        while (Clock::now() < deadline) {
            // Painted: the card (dark) has replaced what was behind it (light).
            if (viewable(c, overlay)) {
                const int brightness = centreBrightness(c, root, overlay);
                if (brightness >= 0 && brightness < background - 40) {
                    shown = true;
                    break;
                }
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        if (!shown) {
            std::fprintf(stderr, "press %d: no overlay within 5 s\n", i + 1);
            return 1;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        pressHotKey(c, alt, space);
        while (viewable(c, overlay) && Clock::now() < deadline + std::chrono::seconds(5))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    }
    std::sort(ms.begin(), ms.end());
    auto at = [&ms](double q) { return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * (ms.size() - 1) + 0.5))]; };
    std::printf("hot key to painted overlay over %zu presses: median %.1f ms, p95 %.1f ms, min %.1f ms, max %.1f ms\n",
                ms.size(), at(0.5), at(0.95), ms.front(), ms.back());
    xcb_disconnect(c);
    return 0;
}
