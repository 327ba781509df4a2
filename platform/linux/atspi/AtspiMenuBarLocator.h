#pragma once

#include "platform/linux/atspi/bus/AtspiDetails.h"
#include "platform/linux/atspi/bus/AtspiPeerConnection.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform::atspi {

// Picks the menu bar to read among an application's windows: the one under the active
// window if it has one, else the one under the first window that has one. Where a
// window holds more than one, the one the toolkit shows.
//
// LibreOffice's window holds a copy of its menu bar beside the bar GTK shows: the copy's
// key bindings are broken, and it marks no entry of its menus visible, whereas GTK marks
// every entry it shows visible whether its menu is open or not. The GTK bar's objects
// often aren't in the toolkit's cache yet, so a bar whose menus show no entry is looked
// past, below the windows, for another one. Just after the application is first asked,
// its cache may hold neither bar: a bar found below the windows is then asked the same.
struct AtspiMenuBarLocator {
    using Deadline = std::chrono::steady_clock::time_point;
    // A menu bar met in the search, with the children it told then (when it told them).
    struct Found {
        std::string path;
        std::optional<std::vector<std::string>> children;
    };

    // The choice made from the toolkit's cache: among the menu bars below the windows,
    // the active window's first, then by window order, then one with a visible item (the
    // bar shown), then the shallowest, then by path.
    static std::optional<std::string> fromCache(const AtspiDetails::ByPath& cache, const std::vector<std::string>& windows);
    // Whether the cache tells the bar `bar` shown: some entry of its menus is marked
    // visible, or the cache holds no entries of them at all.
    static bool shownInCache(const AtspiDetails::ByPath& cache, const std::string& bar);
    // The same test asked of the application, for a bar found by `search`: some entry of
    // its menus (the children with the menu role) is marked visible, or they hold no
    // entry. Qt hangs each menu below an item of the bar, so its bars always pass. Asks at
    // most `entryBound` entries, in two batches; a bar not told by the deadline passes.
    static bool shownLive(AtspiPeerConnection& peer, const Found& bar, Deadline deadline);
    static constexpr std::size_t entryBound = 64;
    // The same choice for a toolkit without a cache: a bounded search, level by level,
    // below the windows, each level asked in one batch. The bar `except` is passed over.
    static std::optional<Found> search(AtspiPeerConnection& peer, const std::vector<std::string>& windows,
                                       Deadline deadline, const std::string& except = {});
};

} // namespace tavlin::platform::atspi
