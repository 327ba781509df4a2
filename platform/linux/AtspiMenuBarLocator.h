#pragma once

#include "platform/linux/AtspiCalls.h"
#include "platform/linux/AtspiDetails.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform::atspi {

// Picks the menu bar to read among an application's windows: the one under the active
// window if it has one, else the one under the first window that has one.
struct AtspiMenuBarLocator {
    using Deadline = std::chrono::steady_clock::time_point;
    // A menu bar met in the search, with the children it told then (when it told them).
    struct Found {
        std::string path;
        std::optional<std::vector<std::string>> children;
    };

    // The choice made from the toolkit's cache: among the menu bars below the windows,
    // the active window's first, then by window order, then the shallowest, then by path.
    static std::optional<std::string> fromCache(const AtspiDetails::ByPath& cache, const std::vector<std::string>& windows);
    // The same choice for a toolkit without a cache: a bounded search, level by level,
    // below the windows, each level asked in one batch.
    static std::optional<Found> search(const AtspiCalls::Peer& peer, const std::vector<std::string>& windows,
                                             Deadline deadline);
};

} // namespace tavlin::platform::atspi
