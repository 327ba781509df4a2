// Arbitrary text as a GtkBuilder UI file for the shortcuts-window reader: broken markup,
// objects nested anywhere, properties outside their objects, huge or endless texts.
#include "platform/linux/shortcuts/ShortcutsWindowFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using File = tavlin::platform::ShortcutsWindowFile;
    File::Limits limits;
    limits.shortcuts = 50;
    limits.textBytes = 256;
    limits.depth = 32;
    // The window's element first, so that most inputs reach the reader's own rules.
    const std::string text = "<interface><object class=\"GtkShortcutsWindow\">" +
                             std::string(reinterpret_cast<const char*>(data), size);
    std::size_t shortcuts = 0;
    for (const auto& section : File::read(text, limits))
        for (const auto& group : section.groups) shortcuts += group.shortcuts.size();
    if (shortcuts > limits.shortcuts) __builtin_trap();
    (void)File::read(std::string(reinterpret_cast<const char*>(data), size), limits);
    return 0;
}
