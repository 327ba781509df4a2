#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include "TavlinUI/Text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <string_view>

namespace tavlin {
namespace {

struct LegendRow {
    std::string_view symbol, name;
    std::initializer_list<std::string_view> matches;
};

const std::array<LegendRow, 10>& legendTable() {
    static const std::array<LegendRow, 10> table{{
        {"\u2318", "Command", {"\u2318"}},
        {"\u2325", "Option", {"\u2325"}},
        {"\u21E7", "Shift", {"\u21E7"}},
        {"\u2303", "Control", {"\u2303"}},
        {"\u21E5", "Tab", {"\u21E5"}},
        {"\u21A9", "Return", {"\u21A9"}},
        {"\u232B", "Delete", {"\u232B"}},
        {"\u238B", "Esc", {"\u238B"}},
        {"\u2190\u2191\u2193\u2192", "矢印", {"\u2190", "\u2191", "\u2193", "\u2192"}},
        {"\u2328", "特殊キー", {"\u2328"}},
    }};
    return table;
}

} // namespace

ShortcutOverlay::ShortcutOverlay(std::string appName, std::shared_ptr<const platform::Image> appIcon,
                                 std::vector<ShortcutItem> shortcuts, bool accessibilityGranted,
                                 std::function<void()> openSettings, std::function<void()> close)
    : appName_(std::move(appName)), appIcon_(std::move(appIcon)), shortcuts_(std::move(shortcuts)),
      accessibilityGranted_(accessibilityGranted), openSettings_(std::move(openSettings)),
      close_(std::move(close)) {}

bool ShortcutOverlay::hasSameContent(const ShortcutOverlay& other) const {
    const auto sameIcon = [](const platform::Image* a, const platform::Image* b) {
        if (a == b) return true;
        return a && b && a->width == b->width && a->height == b->height && a->rgba == b->rgba;
    };
    return appName_ == other.appName_ && accessibilityGranted_ == other.accessibilityGranted_ &&
           sameIcon(appIcon_.get(), other.appIcon_.get()) && sameRows(shortcuts_, other.shortcuts_);
}

bool ShortcutOverlay::sameRows(const std::vector<ShortcutItem>& a, const std::vector<ShortcutItem>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const ShortcutItem& x, const ShortcutItem& y) {
        return x.group() == y.group() && x.title() == y.title() && x.keys() == y.keys();
    });
}

std::vector<GroupEntry> ShortcutOverlay::grouped() const {
    // Group names are told apart by their identity, computed once per row.
    std::vector<std::string> canonical;
    canonical.reserve(shortcuts_.size());
    for (const ShortcutItem& row : shortcuts_) canonical.push_back(Text::identity(row.group()));

    std::vector<std::size_t> firstRowOfGroup;
    for (std::size_t i = 0; i < shortcuts_.size(); ++i) {
        bool seen = false;
        for (std::size_t first : firstRowOfGroup)
            if (canonical[first] == canonical[i]) {
                seen = true;
                break;
            }
        if (!seen) firstRowOfGroup.push_back(i);
    }

    std::vector<GroupEntry> groups;
    groups.reserve(firstRowOfGroup.size());
    for (std::size_t first : firstRowOfGroup) {
        GroupEntry entry{shortcuts_[first].group(), {}};
        for (std::size_t i = first; i < shortcuts_.size(); ++i)
            if (canonical[i] == canonical[first]) entry.items.push_back(shortcuts_[i]);
        groups.push_back(std::move(entry));
    }
    return groups;
}

std::vector<KeyLegend> ShortcutOverlay::visibleKeyLegends() const {
    std::string joined;
    for (const ShortcutItem& row : shortcuts_) joined += row.keys();
    joined = Text::nfc(joined);

    std::vector<KeyLegend> legends;
    for (const LegendRow& row : legendTable()) {
        for (std::string_view match : row.matches)
            if (joined.find(match) != std::string::npos) {
                legends.push_back(KeyLegend{std::string(row.symbol), std::string(row.name)});
                break;
            }
    }
    return legends;
}

int ShortcutOverlay::columnCount(double width) {
    // One column below 610 points, then one more every 285 points, up to four. A width
    // that is not a number gives one column; the comparisons never convert a value that
    // is out of the integer range.
    const double q = (width - 40.0) / 285.0;
    if (std::isnan(q) || q < 2.0) return 1;
    if (q >= 5.0) return maxColumnCount;
    return static_cast<int>(q);
}

} // namespace tavlin
