#pragma once

#include "platform/KeyEquivalent.h"
#include "platform/RunningApplication.h"

#include <string>
#include <vector>

namespace tavlin::platform {

// Where an application keeps shortcuts beside its menu bar. Both reads may wait on the
// file system, so they run on the work queue; each reads afresh.
class ApplicationShortcuts {
public:
    // A row of the application's own shortcuts window, its texts in the user's language.
    // A shortcut the window shows with several keys comes as one row per key.
    struct WindowRow {
        std::string group, title;
        KeyEquivalent key;
    };
    // A row of a table kept for the application, its keys in the model's notation.
    struct TableRow {
        std::string group, title, keys;
    };

    virtual ~ApplicationShortcuts() = default;
    // The rows of the shortcuts window the application ships, in its order; none when it
    // ships none or it can't be read.
    virtual std::vector<WindowRow> shortcutsWindow(const RunningApplication& application) = 0;
    // The rows of the table kept for the application; none when there is no table for it.
    virtual std::vector<TableRow> table(const RunningApplication& application) = 0;
};

} // namespace tavlin::platform
