// A probe for the end-to-end checks: scans several applications, in order, with one
// accessibility service, and reports the permission queries.
//
//   atspi-probe scan PID...   one line per scan: pid, row count, milliseconds
//   atspi-probe trust         trusted before, after asking with the prompt, and after
#include "Tavlin/ShortcutScanner.h"
#include "platform/linux/AtspiAccessibility.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>

int main(int argc, char** argv) {
    tavlin::platform::atspi::AtspiAccessibility ax;
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (mode == "scan") {
        for (int i = 2; i < argc; ++i) {
            const int pid = std::atoi(argv[i]);
            const auto start = std::chrono::steady_clock::now();
            const auto rows = tavlin::ShortcutScanner::shortcuts(ax, pid);
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            std::printf("%d\t%zu\t%.0f\n", pid, rows.size(), ms);
        }
        return 0;
    }
    if (mode == "trust") {
        const bool before = ax.isProcessTrusted();
        const bool prompted = ax.isProcessTrustedWithOptions(true);
        std::printf("%d %d %d\n", before, prompted, ax.isProcessTrusted());
        return 0;
    }
    std::fprintf(stderr, "usage: atspi-probe (scan PID... | trust)\n");
    return 2;
}
