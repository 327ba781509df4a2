// A probe for the end-to-end checks: scans several applications, in order, with one
// accessibility service, and reports the permission queries.
//
//   atspi-probe scan PID...   one line per scan: pid, row count, milliseconds
//   atspi-probe trust         trusted before, after asking with the prompt, and after
//   atspi-probe shows PID N   what N shows of PID cost: open descriptors and resident KiB
//                             after the first show and after all of them
#include "Tavlin/ShortcutScanner.h"
#include "platform/linux/atspi/AtspiAccessibility.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

namespace {

long openDescriptors() {
    long count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

long residentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    tavlin::platform::atspi::AtspiAccessibility ax(tavlin::ShortcutScanner::rowBudget());
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
    if (mode == "shows" && argc == 4) {
        // What the overlay asks for at each show: the permission, then the rows.
        const int pid = std::atoi(argv[2]);
        const int count = std::atoi(argv[3]);
        std::size_t rows = 0;
        long descriptors = 0, resident = 0;
        for (int i = 0; i < count; ++i) {
            ax.isProcessTrusted();
            rows = tavlin::ShortcutScanner::shortcuts(ax, pid).size();
            if (i == 0) descriptors = openDescriptors(), resident = residentKiB();
        }
        std::printf("rows %zu descriptors %ld %ld resident %ld %ld\n", rows, descriptors, openDescriptors(), resident,
                    residentKiB());
        return 0;
    }
    if (mode == "trust") {
        const bool before = ax.isProcessTrusted();
        const bool prompted = ax.isProcessTrustedWithOptions(true);
        std::printf("%d %d %d\n", before, prompted, ax.isProcessTrusted());
        return 0;
    }
    if (mode == "trust-lines") {
        // One answer per line read, from one long-lived service, until the input ends.
        std::string line;
        while (std::getline(std::cin, line)) {
            std::printf("%d\n", ax.isProcessTrusted());
            std::fflush(stdout);
        }
        return 0;
    }
    std::fprintf(stderr, "usage: atspi-probe (scan PID... | shows PID N | trust | trust-lines)\n");
    return 2;
}
