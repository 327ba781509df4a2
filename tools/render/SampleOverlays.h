#pragma once

#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <memory>
#include <vector>

namespace tavlin {

// Realistic overlays for pictures and view tests: the file manager's common rows
// merged with the 80 rows a scan of a code editor's menu bar gives.
struct SampleOverlays {
    // 80 rows as the scanner reports them for a code editor, in menu order.
    static std::vector<ShortcutItem> editorMenu();
    // A 64 × 64 application icon.
    static std::shared_ptr<const platform::Image> icon();

    static ShortcutOverlay grid(std::function<void()> openSettings = {}, std::function<void()> close = {});
    static ShortcutOverlay permission(std::function<void()> openSettings = {}, std::function<void()> close = {});
    // Titles with tabs, line breaks, control characters, direction overrides and
    // nothing visible in them.
    static ShortcutOverlay awkwardTitles(std::function<void()> openSettings = {}, std::function<void()> close = {});
    static ShortcutOverlay empty(std::function<void()> openSettings = {}, std::function<void()> close = {});
};

} // namespace tavlin
