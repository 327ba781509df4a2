#pragma once

#include "TavlinUI/Overlay/KeyText.h"
#include "TavlinUI/Overlay/OverlayPanel.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace tavlin::test {

struct ActionCounts {
    int openSettings = 0;
    int close = 0;
};

// An overlay whose actions count their calls in `counts`.
ShortcutOverlay overlay(std::vector<ShortcutItem> rows, bool granted, ActionCounts& counts,
                        std::shared_ptr<const platform::Image> icon = nullptr,
                        std::string appName = "テスト");
ShortcutOverlay overlay(std::vector<ShortcutItem> rows, bool granted = true);

// Rows named "<group>-<n>" for each group, `perGroup` rows each.
std::vector<ShortcutItem> rowsInGroups(const std::vector<std::string>& groups, int perGroup = 1);

// An overlay panel on the offscreen screen, shown with the view of one overlay.
class ShownOverlay {
public:
    ShownOverlay(const ShortcutOverlay& overlay, QSize panelSize,
                 KeyText::Notation notation = KeyText::Notation::desktop);
    void resize(QSize panelSize);
    OverlayPanel& panel() { return panel_; }

    template <class T = QWidget>
    T* find(const char* name) const {
        return panel_.findChild<T*>(QString::fromLatin1(name));
    }
    template <class T = QWidget>
    QList<T*> findAll(const char* name, const QWidget* under = nullptr) const {
        return (under ? under : &panel_)->template findChildren<T*>(QString::fromLatin1(name));
    }

private:
    OverlayPanel panel_;
};

// Lets Qt run its pending layout and deferred-delete work.
void settle();
// The widget's rectangle in the coordinates of one of its ancestors.
QRect rectIn(const QWidget* widget, const QWidget* ancestor);
// The texts of the group headings in one column, top to bottom.
std::vector<std::string> headingsOf(const QWidget* column);

} // namespace tavlin::test
