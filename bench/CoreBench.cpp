// Figures for the display-free pipeline: the scan of in-memory menu bars of growing
// size, and what every show does after it (merge, grouping, legends).
#include "Tavlin/ShortcutScanner.h"
#include "TavlinUI/CommonShortcuts.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"
#include "TavlinUI/ShortcutMerge.h"
#include "platform/sim/SimMenuBar.h"

#include <benchmark/benchmark.h>

using namespace tavlin;
using namespace tavlin::platform::sim;

namespace {

// A menu bar of `total` items over ten menus; every tenth item has a five-item submenu.
std::vector<SimMenu> menuBar(int total) {
    std::vector<SimMenu> menus(10);
    for (int m = 0; m < 10; ++m) menus[static_cast<std::size_t>(m)].title = "Menu " + std::to_string(m);
    int made = 0;
    for (int i = 0; made < total; ++i) {
        SimMenuItem item{"Command " + std::to_string(i), std::string(1, static_cast<char>('a' + i % 26)), i % 16,
                         {}, {}, i % 7 != 0, {}};
        ++made;
        if (i % 10 == 0)
            for (int s = 0; s < 5 && made < total; ++s, ++made)
                item.submenu.push_back({"Sub " + std::to_string(s), "", 8, {}, 96 + s, true, {}});
        menus[static_cast<std::size_t>(i % 10)].items.push_back(std::move(item));
    }
    return menus;
}

void BM_Scan(benchmark::State& state) {
    SimAccessibilityService ax;
    ax.addApplication(1, SimMenuBar::application(menuBar(static_cast<int>(state.range(0)))));
    for (auto _ : state) benchmark::DoNotOptimize(ShortcutScanner::shortcuts(ax, 1));
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Scan)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

void BM_MergeGroupLegends(benchmark::State& state) {
    const auto common = CommonShortcuts::items("com.apple.finder");
    std::vector<ShortcutItem> scanned;
    const char* const keys[] = {"⌘C", "⇧⌘N", "⌥⌘F", "⌃←", "⌘⌨", "F5", "⌘Z", "⌃⌥⇧⎋"};
    for (int i = 0; i < 80; ++i)
        scanned.emplace_back("Menu " + std::to_string(i % 9), "Command " + std::to_string(i), keys[i % 8]);
    for (auto _ : state) {
        ShortcutOverlay overlay("Editor", nullptr, ShortcutMerge::merge(common, scanned), true, {}, {});
        benchmark::DoNotOptimize(overlay.grouped());
        benchmark::DoNotOptimize(overlay.visibleKeyLegends());
    }
}
BENCHMARK(BM_MergeGroupLegends)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
