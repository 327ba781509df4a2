#pragma once

#include "platform/RowBudget.h"
#include "platform/linux/atspi/bus/AtspiDetails.h"
#include "platform/linux/atspi/bus/AtspiPeerConnection.h"
#include "platform/linux/atspi/model/MenuCapture.h"

#include <chrono>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tavlin::platform::atspi {

// Reads the menus below a menu bar into a MenuCapture, as deep as the scanner reads and
// in menu order, a part at a time, stopping once the items read give the budget's rows.
struct AtspiMenuWalk {
    using Deadline = std::chrono::steady_clock::time_point;

    // The children of each object of a cache, by parent path. Those of a parent in
    // `placed` are in their order among the parent's children; the others' order is
    // unknown, as the cache gives their places with gaps, twice, or not at all.
    struct Children {
        std::unordered_map<std::string, std::vector<std::string>> of;
        std::unordered_set<std::string> placed;
    };
    static Children children(const AtspiDetails::ByPath& cache);

    // Whether the cache tells which of a menu's entries are shown. GTK hides an item by
    // clearing its visible state and leaves the others visible; LibreOffice tells no
    // entry of a closed menu visible, and then none of them is taken as hidden.
    static bool visibilityTold(const AtspiDetails::ByPath& cache, const std::vector<std::string>& entries);

    // When the toolkit's cache already told what every node is and where it hangs: asks
    // only the order of the children the cache gives no places for, and the key bindings.
    // (Without such a cache, AtspiLiveMenuWalk reads the menus call by call.)
    static MenuCapture fromCache(AtspiPeerConnection& peer, const std::string& barPath,
                                 const AtspiDetails::ByPath& cache, Deadline deadline,
                                 const std::optional<RowBudget>& budget);
};

} // namespace tavlin::platform::atspi
