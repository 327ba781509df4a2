#pragma once

#include <string>
#include <vector>

namespace tavlin::platform {

struct ShortcutTableFiles {
    struct Row { std::string group, title, keys; }; // keys in the model's notation, titles in the user's language
    // The rows of the first table (user's $XDG_DATA_HOME/tavlin/shortcuts, then each of
    // $XDG_DATA_DIRS/tavlin/shortcuts, then the build's own data/shortcuts) that names one of these
    // desktop entry ids; empty when none does. Bad files are reported on stderr and skipped.
    static std::vector<Row> forDesktopEntries(const std::vector<std::string>& desktopEntryIds);
};

} // namespace tavlin::platform
