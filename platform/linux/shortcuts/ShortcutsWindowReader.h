#pragma once

#include "platform/ApplicationShortcuts.h"
#include "platform/linux/shortcuts/ApplicationCatalogue.h"
#include "platform/linux/shortcuts/ElfSections.h"
#include "platform/linux/shortcuts/ResourceBundle.h"
#include "platform/linux/shortcuts/ShortcutsWindowFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform {

// Finds a running application's shortcuts window among its resources and turns it into
// rows: the UI file from the first of the process's files that holds one (its
// executable first), its texts through the application's catalogue, its keys through
// the GTK accelerator parser.
struct ShortcutsWindowReader {
    struct Limits {
        ElfSections::Limits sections;
        ResourceBundle::Limits bundle;
        ShortcutsWindowFile::Limits file;
        std::size_t files = 1024; // files of the process looked into
        std::size_t rows = 600;
    };

    // The UI file's text; none when no file of the process holds a shortcuts window.
    static std::optional<std::string> file(std::int32_t pid, const Limits& limits);
    // The window's rows in its order, one per key: group = the group's title (else the
    // section's, else `untitledGroup`), title = the shortcut's, both translated when
    // the file marks them so. A shortcut whose keys the parser can't read is left out.
    static std::vector<ApplicationShortcuts::WindowRow> rows(const std::vector<ShortcutsWindowFile::Section>& sections,
                                                             const ApplicationCatalogue& catalogue,
                                                             const std::string& untitledGroup, std::size_t maxRows);
};

} // namespace tavlin::platform
