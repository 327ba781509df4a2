#pragma once

#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <memory>
#include <vector>

namespace tavlin {

// Realistic overlays for pictures and view tests: the always-available rows of a GNOME
// desktop merged with the 80 rows a scan of a code editor's menu bar gives.
struct SampleOverlays {
    // The language of the editor's own words: its name and menus.
    enum class Words { japanese, english };

    // 80 rows as the scanner reports them for a code editor, in menu order.
    static std::vector<ShortcutItem> editorMenu(Words words = Words::japanese);
    // A 64 × 64 application icon.
    static std::shared_ptr<const platform::Image> icon();

    static ShortcutOverlay grid(std::function<void()> openSettings = {}, std::function<void()> close = {},
                                Words words = Words::japanese);
    static ShortcutOverlay permission(std::function<void()> openSettings = {}, std::function<void()> close = {},
                                      Words words = Words::japanese);
    static ShortcutOverlay empty(std::function<void()> openSettings = {}, std::function<void()> close = {},
                                 Words words = Words::japanese);
};

} // namespace tavlin
