#pragma once

#include "TavlinUI/ShortcutItem.h"
#include "platform/ApplicationShortcuts.h"

#include <string_view>
#include <vector>

namespace tavlin {

// The application's own rows, from every place it keeps them, in order: the menu bar;
// then the rows of its shortcuts window whose keys the menu bar lacks; then, only when
// neither gives a row, the table kept for it. The common rows are merged over the result
// afterwards, as for any scan.
struct ShortcutSources {
    enum class Source { menu, shortcutsWindow, table };
    struct Row {
        ShortcutItem item;
        Source source;
    };

    // The rows of the three sources combined by the rule above. A shortcuts-window row
    // without a title or a key, and a repeat of an earlier row (same title and keys), are
    // left out; so is a table row without a title or keys.
    static std::vector<Row> combine(const std::vector<ShortcutItem>& menu,
                                    const std::vector<platform::ApplicationShortcuts::WindowRow>& window,
                                    const std::vector<platform::ApplicationShortcuts::TableRow>& table);
    // The same, reading the shortcuts window, and the table only when it is needed.
    static std::vector<Row> read(platform::ApplicationShortcuts& sources, const platform::RunningApplication& application,
                                 const std::vector<ShortcutItem>& menu);
    static std::vector<ShortcutItem> items(const std::vector<Row>& rows);
    // The source's name in tavlin-scan's output: "menu", "shortcuts-window" or "table".
    static std::string_view name(Source source);
};

} // namespace tavlin
