// Figures for reading an application's shortcuts window and table, as a show does
// after the menu scan (not a test): for a running process, N reads of each step, the
// minimum, median and maximum in milliseconds.
//
//   tavlin_shortcuts_window_read PID [BUNDLE_ID] [N]
//
// Steps: finding the UI file among the process's files (maps, ELF sections, the bundle),
// reading it, the whole shortcuts window (with the catalogue), and the table.
#include "platform/linux/shortcuts/LinuxApplicationShortcuts.h"
#include "platform/linux/shortcuts/ShortcutsWindowFile.h"
#include "platform/linux/shortcuts/ShortcutsWindowReader.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

void measure(const char* step, int count, const std::function<std::size_t()>& work) {
    std::vector<double> times;
    std::size_t size = 0;
    for (int i = 0; i < count; ++i) {
        const auto start = std::chrono::steady_clock::now();
        size = work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%-22s min %7.3f  median %7.3f  max %8.3f ms  (%zu)\n", step, times.front(), times[times.size() / 2],
                times.back(), size);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: tavlin_shortcuts_window_read PID [BUNDLE_ID] [N]\n", stderr);
        return 2;
    }
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
    using namespace tavlin::platform;
    const int pid = std::atoi(argv[1]);
    RunningApplication application{pid, {}, {}, nullptr};
    if (argc > 2 && *argv[2]) application.bundleIdentifier = argv[2];
    const int count = argc > 3 ? std::max(1, std::atoi(argv[3])) : 200;
    const ShortcutsWindowReader::Limits limits;
    LinuxApplicationShortcuts sources(limits);

    measure("first read", 1, [&] { return sources.shortcutsWindow(application).size(); });
    measure("find the UI file", count, [&] { return ShortcutsWindowReader::file(pid, limits).value_or("").size(); });
    const std::string file = ShortcutsWindowReader::file(pid, limits).value_or("");
    measure("read the UI file", count, [&] { return ShortcutsWindowFile::read(file, limits.file).size(); });
    measure("shortcuts window", count, [&] { return sources.shortcutsWindow(application).size(); });
    measure("table", count, [&] { return sources.table(application).size(); });
    return 0;
}
