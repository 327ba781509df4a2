// Measures how long Tavlin takes from `tavlin --toggle` to an overlay painted, on X11 or
// through XWayland in a Wayland session.
//
//   tavlin_toggle_latency OVERLAY_WINDOW PRESSES COMMAND [ARG...]
//
// OVERLAY_WINDOW is the overlay's X window (shown once before, so that it exists, and
// hidden again). Each round starts COMMAND (e.g. `tavlin --toggle`, what a desktop's key
// binding runs) and polls the X server until the window is viewable and the pixel at its
// centre, read from the window itself, is the dark card; then it starts COMMAND again and
// waits for the window to go. Prints the median, the 95th percentile and the extremes of
// the time to a painted overlay, of the time COMMAND took to return, and of the time
// from its return to the painted overlay.
//
// The pixel is read from the window, not from the screen: in a Wayland session the
// compositor shows it with its next frame (at most one frame later at 60 Hz).

#include "bench/XcbProbe.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using tavlin::bench::viewable;
template <class T> using Reply = tavlin::bench::XcbReply<T>;

// The brightness (0-255) of the pixel at the window's centre, as the window holds it.
int centreBrightness(xcb_connection_t* c, xcb_window_t window) {
    Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    if (!g) return -1;
    Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, std::int16_t(g->width / 2), std::int16_t(g->height / 2), 1, 1, ~0u),
        nullptr));
    if (!image || xcb_get_image_data_length(image.get()) < 3) return -1;
    const std::uint8_t* p = xcb_get_image_data(image.get());
    return (p[0] + p[1] + p[2]) / 3;
}

pid_t start(char** command) {
    pid_t pid = -1;
    return posix_spawnp(&pid, command[0], nullptr, nullptr, command, environ) == 0 ? pid : -1;
}

struct Figures {
    std::vector<double> ms;
    double at(double q) const {
        return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * double(ms.size() - 1) + 0.5))];
    }
    void print(const char* what) {
        std::sort(ms.begin(), ms.end());
        std::printf("%s over %zu presses: median %.1f ms, p95 %.1f ms, min %.1f ms, max %.1f ms\n", what, ms.size(),
                    at(0.5), at(0.95), ms.front(), ms.back());
    }
};

constexpr int darkCard = 80; // the card is near black; what is behind it is light

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s OVERLAY_WINDOW PRESSES COMMAND [ARG...]\n", argv[0]);
        return 2;
    }
    const auto overlay = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    const int presses = std::max(1, std::atoi(argv[2]));
    char** command = argv + 3;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    if (viewable(c, overlay)) {
        std::fprintf(stderr, "the overlay must exist and be hidden\n");
        return 1;
    }

    Figures painted, returned, afterReturn;
    for (int i = 0; i < presses; ++i) {
        const auto begin = Clock::now();
        const pid_t child = start(command);
        if (child < 0) {
            std::fprintf(stderr, "could not start %s\n", command[0]);
            return 1;
        }
        const auto deadline = begin + std::chrono::seconds(5);
        bool shown = false, exited = false;
        while (Clock::now() < deadline && !shown) {
            int status = 0;
            if (!exited && waitpid(child, &status, WNOHANG) == child) {
                exited = true;
                returned.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
            }
            if (viewable(c, overlay)) {
                const int brightness = centreBrightness(c, overlay);
                shown = brightness >= 0 && brightness < darkCard;
            }
            if (!shown) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        if (!shown) {
            std::fprintf(stderr, "press %d: no overlay within 5 s\n", i + 1);
            return 1;
        }
        painted.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
        if (!exited) {
            waitpid(child, nullptr, 0);
            returned.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
        }
        afterReturn.ms.push_back(std::max(0.0, painted.ms.back() - returned.ms.back()));
        const pid_t hide = start(command);
        if (hide > 0) waitpid(hide, nullptr, 0);
        while (viewable(c, overlay) && Clock::now() < deadline + std::chrono::seconds(5))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    painted.print("toggle command to painted overlay");
    returned.print("toggle command returned");
    afterReturn.print("painted after the command returned");
    xcb_disconnect(c);
    return 0;
}
