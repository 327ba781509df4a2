// tavlin-scan: prints the rows Tavlin would show for a running application.
//
//   tavlin-scan (--pid PID | --app NAME) [--merged] [--bundle ID] [--json] [--repeat N]
//
// One row per line as group<TAB>title<TAB>keys, in order (a backslash, tab, newline or
// carriage return inside a field written as \\, \t, \n or \r), or a JSON array of objects
// with "group", "title" and "keys". --merged prints the overlay's merged list (the
// common shortcuts first, for the bundle identifier given with --bundle); --repeat N
// scans N times and prints the minimum, median and maximum scan time on standard error.
#include "Tavlin/ShortcutScanner.h"
#include "TavlinUI/CommonShortcuts.h"
#include "TavlinUI/ShortcutMerge.h"
#include "platform/linux/AtspiAccessibility.h"
#include "tools/JsonText.h"
#include "tools/TabbedText.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using tavlin::ShortcutItem;
using tavlin::tools::JsonText;
using tavlin::tools::TabbedText;

int usage(const char* message) {
    std::cerr << "tavlin-scan: " << message << "\n"
              << "usage: tavlin-scan (--pid PID | --app NAME) [--merged] [--bundle ID] [--json] [--repeat N]\n";
    return 2;
}

template <class Number>
std::optional<Number> number(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

void print(const std::vector<ShortcutItem>& rows, bool asJson) {
    if (!asJson) {
        for (const ShortcutItem& row : rows)
            std::cout << TabbedText::field(row.group()) << '\t' << TabbedText::field(row.title()) << '\t'
                      << TabbedText::field(row.keys()) << '\n';
        return;
    }
    std::cout << "[";
    for (std::size_t i = 0; i < rows.size(); ++i)
        std::cout << (i ? ",\n " : "\n ") << "{\"group\": " << JsonText::quoted(rows[i].group()) << ", \"title\": "
                  << JsonText::quoted(rows[i].title()) << ", \"keys\": " << JsonText::quoted(rows[i].keys()) << "}";
    std::cout << (rows.empty() ? "]\n" : "\n]\n");
}

} // namespace

int main(int argc, char** argv) {
    std::optional<std::int32_t> pid;
    std::optional<std::string> app, bundle;
    bool merged = false, asJson = false;
    int repeat = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--pid" && hasValue) {
            pid = number<std::int32_t>(argv[++i]);
            if (!pid || *pid <= 0) return usage("--pid takes a process id");
        } else if (arg == "--app" && hasValue) {
            app = argv[++i];
        } else if (arg == "--bundle" && hasValue) {
            bundle = argv[++i];
        } else if (arg == "--repeat" && hasValue) {
            const std::optional<int> count = number<int>(argv[++i]);
            if (!count || *count < 1) return usage("--repeat takes a positive count");
            repeat = *count;
        } else if (arg == "--merged") {
            merged = true;
        } else if (arg == "--json") {
            asJson = true;
        } else {
            return usage(("unknown or incomplete argument " + std::string(arg)).c_str());
        }
    }
    if (pid.has_value() == app.has_value()) return usage("give exactly one of --pid and --app");

    tavlin::platform::atspi::AtspiAccessibility ax;
    if (app) {
        pid = ax.applicationNamed(*app);
        if (!pid) {
            std::cerr << "tavlin-scan: no application named \"" << *app << "\" on the accessibility bus\n";
            return 1;
        }
    } else if (!ax.hasApplication(*pid)) {
        std::cerr << "tavlin-scan: no application with process id " << *pid << " on the accessibility bus\n";
        return 1;
    }

    std::vector<ShortcutItem> rows;
    std::vector<double> times;
    for (int i = 0; i < repeat; ++i) {
        const auto start = std::chrono::steady_clock::now();
        rows = tavlin::ShortcutScanner::shortcuts(ax, *pid);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    if (merged) rows = tavlin::ShortcutMerge::merge(tavlin::CommonShortcuts::items(bundle), rows);
    print(rows, asJson);
    if (repeat > 1) {
        std::sort(times.begin(), times.end());
        const double median = times.size() % 2 ? times[times.size() / 2]
                                               : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
        char line[160];
        std::snprintf(line, sizeof line, "scan ms: min %.2f median %.2f max %.2f (%d scans)\n", times.front(), median,
                      times.back(), repeat);
        std::cerr << line;
    }
    return 0;
}
