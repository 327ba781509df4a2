#pragma once

#include "platform/ApplicationShortcuts.h"
#include "platform/linux/shortcuts/ShortcutsWindowReader.h"

#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform {

// The shortcuts a Linux application keeps beside its menu bar: the GTK shortcuts window
// in its resources, and the table shipped or installed for its desktop entry. Every
// call reads afresh; nothing is kept between calls.
class LinuxApplicationShortcuts : public ApplicationShortcuts {
public:
    explicit LinuxApplicationShortcuts(ShortcutsWindowReader::Limits limits = {}) : limits_(limits) {}

    std::vector<WindowRow> shortcutsWindow(const RunningApplication& application) override;
    std::vector<TableRow> table(const RunningApplication& application) override;

    // The desktop entry ids that may stand for the application, most telling first: its
    // bundle identifier, the entry its launcher named, and when neither is an installed
    // entry, the entry that starts its executable.
    static std::vector<std::string> desktopEntryIds(const RunningApplication& application);
    // The application's gettext domain: the X-GNOME-Gettext-Domain of its desktop entry
    // (the first installed one of desktopEntryIds), else its executable's file name.
    static std::string gettextDomain(const RunningApplication& application, const std::string& executable);

private:
    ShortcutsWindowReader::Limits limits_;
};

} // namespace tavlin::platform
