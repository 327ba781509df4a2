#pragma once

#include "platform/ApplicationShortcuts.h"

#include <atomic>
#include <cstdint>
#include <map>

namespace tavlin::platform::sim {

// Shortcuts windows and tables by process id, and how often each was read. Set up the
// rows before the reads start; the counts may be read from another thread.
class SimApplicationShortcuts : public ApplicationShortcuts {
public:
    std::map<std::int32_t, std::vector<WindowRow>> windows;
    std::map<std::int32_t, std::vector<TableRow>> tables;
    std::atomic<int> windowReads{0}, tableReads{0};

    std::vector<WindowRow> shortcutsWindow(const RunningApplication& application) override {
        ++windowReads;
        const auto found = windows.find(application.processIdentifier);
        return found == windows.end() ? std::vector<WindowRow>{} : found->second;
    }
    std::vector<TableRow> table(const RunningApplication& application) override {
        ++tableReads;
        const auto found = tables.find(application.processIdentifier);
        return found == tables.end() ? std::vector<TableRow>{} : found->second;
    }
};

} // namespace tavlin::platform::sim
