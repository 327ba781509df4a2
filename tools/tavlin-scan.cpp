// tavlin-scan: prints the rows Tavlin would show for a running application.
//
//   tavlin-scan (--pid PID | --app NAME) [--merged] [--bundle ID] [--json] [--repeat N]
//
// The application's own rows from every place it keeps them, as the overlay takes them:
// its menu bar, then the keys its shortcuts window adds, then (when neither gives a row)
// the table kept for it. One row per line as group<TAB>title<TAB>keys, in order (a
// backslash, tab, newline or carriage return inside a field written as \\, \t, \n or
// \r), or a JSON array of objects with "group", "title", "keys" and "source" ("menu",
// "shortcuts-window", "table" or "common"). --merged prints the overlay's merged list
// (the common shortcuts first, for the bundle identifier given with --bundle, which also
// names the application's desktop entry); --repeat N reads N times and prints the
// minimum, median and maximum time of the menu scan and of the other sources on
// standard error. Titles from the shortcuts window are in the locale's language.
// What the readers skip and why is logged as in Tavlin, e.g.
// QT_LOGGING_RULES="tavlin.*.debug=true".
#include "Tavlin/ShortcutScanner.h"
#include "Tavlin/ShortcutSources.h"
#include "TavlinUI/CommonShortcuts.h"
#include "TavlinUI/ShortcutMerge.h"
#include "platform/linux/atspi/AtspiAccessibility.h"
#include "platform/linux/common/GLibLogForwarding.h"
#include "platform/linux/shortcuts/LinuxApplicationShortcuts.h"
#include "tools/JsonText.h"
#include "tools/TabbedText.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <clocale>
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

// A row and where it came from.
struct Printed {
    ShortcutItem item;
    std::string_view source;
};

void print(const std::vector<Printed>& rows, bool asJson) {
    if (!asJson) {
        for (const Printed& row : rows)
            std::cout << TabbedText::field(row.item.group()) << '\t' << TabbedText::field(row.item.title()) << '\t'
                      << TabbedText::field(row.item.keys()) << '\n';
        return;
    }
    std::cout << "[";
    for (std::size_t i = 0; i < rows.size(); ++i)
        std::cout << (i ? ",\n " : "\n ") << "{\"group\": " << JsonText::quoted(rows[i].item.group())
                  << ", \"title\": " << JsonText::quoted(rows[i].item.title())
                  << ", \"keys\": " << JsonText::quoted(rows[i].item.keys())
                  << ", \"source\": " << JsonText::quoted(std::string(rows[i].source)) << "}";
    std::cout << (rows.empty() ? "]\n" : "\n]\n");
}

// The minimum, median and maximum of some times, in milliseconds.
std::string figures(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const double median =
        times.size() % 2 ? times[times.size() / 2] : (times[times.size() / 2 - 1] + times[times.size() / 2]) / 2;
    char line[120];
    std::snprintf(line, sizeof line, "min %.2f median %.2f max %.2f", times.front(), median, times.back());
    return line;
}

} // namespace

int main(int argc, char** argv) {
    tavlin::platform::GLibLogForwarding::install();
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

    tavlin::platform::atspi::AtspiAccessibility ax(tavlin::ShortcutScanner::rowBudget());
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

    // The application's catalogue speaks the locale's language (numbers stay in C's).
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_MESSAGES, "");
    tavlin::platform::LinuxApplicationShortcuts otherSources;
    tavlin::platform::RunningApplication application{*pid, bundle, app, nullptr};

    std::vector<tavlin::ShortcutSources::Row> rows;
    std::vector<double> scanTimes, sourceTimes;
    for (int i = 0; i < repeat; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const auto menu = tavlin::ShortcutScanner::shortcuts(ax, *pid);
        const auto scanned = std::chrono::steady_clock::now();
        rows = tavlin::ShortcutSources::read(otherSources, application, menu);
        const auto read = std::chrono::steady_clock::now();
        scanTimes.push_back(std::chrono::duration<double, std::milli>(scanned - start).count());
        sourceTimes.push_back(std::chrono::duration<double, std::milli>(read - scanned).count());
    }
    std::vector<Printed> printed;
    for (const auto& row : rows) printed.push_back({row.item, tavlin::ShortcutSources::name(row.source)});
    if (merged) {
        // The merge keeps a common row (titled by the application's row of the same keys
        // when there is one) or an application's row as it was: match them back by value.
        const auto items = tavlin::ShortcutSources::items(rows);
        std::vector<Printed> mergedRows;
        for (const ShortcutItem& item : tavlin::ShortcutMerge::merge(tavlin::CommonShortcuts::items(bundle), items)) {
            const auto own = std::find_if(rows.begin(), rows.end(), [&item](const auto& row) { return row.item == item; });
            mergedRows.push_back({item, own == rows.end() ? std::string_view("common") : tavlin::ShortcutSources::name(own->source)});
        }
        printed = std::move(mergedRows);
    }
    print(printed, asJson);
    if (repeat > 1) {
        std::cerr << "scan ms: " << figures(scanTimes) << " (" << repeat << " scans)\n";
        std::cerr << "other sources ms: " << figures(sourceTimes) << " (" << repeat << " reads)\n";
    }
    return 0;
}
