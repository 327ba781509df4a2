#pragma once

#include "platform/Accessibility.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tavlin::platform {

// How much of a menu bar is worth reading: the rows the program shows at most, and how
// it tells one row from another. An adapter that reads a menu bar a part at a time, in
// menu order, may stop once the items it read give `rows` different rows; given no
// budget, it reads the whole bar.
struct RowBudget {
    // The identity of the row `item` gives in the menu of the menu bar's item
    // `topLevel`, or none when it gives no row there. Both are elements as the adapter
    // hands them to the scanner, read without their children. Items whose identities are
    // equal give one row.
    using Identity = std::function<std::optional<std::string>(const AXElement& topLevel, const AXElement& item)>;

    std::size_t rows = 0;
    Identity identity;
};

} // namespace tavlin::platform
