#pragma once

#include "TavlinUI/ShortcutItem.h"
#include "platform/Image.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavlin {

struct KeyLegend {
    std::string symbol, name;
    friend bool operator==(const KeyLegend&, const KeyLegend&) = default;
};

struct GroupEntry {
    std::string name;
    std::vector<ShortcutItem> items;
};

// What the overlay shows: an immutable value built afresh at every show.
class ShortcutOverlay {
public:
    ShortcutOverlay(std::string appName, std::shared_ptr<const platform::Image> appIcon,
                    std::vector<ShortcutItem> shortcuts, bool accessibilityGranted,
                    std::function<void()> openSettings, std::function<void()> close);

    const std::string& appName() const { return appName_; }
    const std::shared_ptr<const platform::Image>& appIcon() const { return appIcon_; }
    const std::vector<ShortcutItem>& shortcuts() const { return shortcuts_; }
    bool accessibilityGranted() const { return accessibilityGranted_; }
    const std::function<void()>& openSettings() const { return openSettings_; }
    const std::function<void()>& close() const { return close_; }

    // Whether the two overlays show the same thing: the same name, icon, permission and
    // rows, texts byte for byte (a row's id and the actions aside). What is drawn
    // differs for texts that differ in any byte, equivalent or not.
    bool hasSameContent(const ShortcutOverlay& other) const;
    // Whether two lists of rows show the same: the same groups, titles and keys, byte
    // for byte, in the same order.
    static bool sameRows(const std::vector<ShortcutItem>& a, const std::vector<ShortcutItem>& b);

    // The rows gathered by group, groups in order of first appearance.
    std::vector<GroupEntry> grouped() const;
    // The legends of the key symbols that occur in the rows, in table order.
    std::vector<KeyLegend> visibleKeyLegends() const;

    static constexpr int maxColumnCount = 4;
    // 1 below 610 points, then one more column every 285 points, at most 4.
    static int columnCount(double width);
    // The elements at positions p with p mod count == column, in order.
    template <class T>
    static std::vector<T> distribute(const std::vector<T>& list, int column, int count) {
        std::vector<T> result;
        if (count < 1 || column < 0 || column >= count) return result;
        for (std::size_t p = static_cast<std::size_t>(column); p < list.size();
             p += static_cast<std::size_t>(count))
            result.push_back(list[p]);
        return result;
    }

private:
    std::string appName_;
    std::shared_ptr<const platform::Image> appIcon_;
    std::vector<ShortcutItem> shortcuts_;
    bool accessibilityGranted_;
    std::function<void()> openSettings_;
    std::function<void()> close_;
};

} // namespace tavlin
