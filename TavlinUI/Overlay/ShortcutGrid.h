#pragma once

#include "TavlinUI/Overlay/KeyText.h"
#include "TavlinUI/Overlay/ShortcutOverlay.h"

#include <QWidget>

#include <vector>

class QPropertyAnimation;
class QScrollArea;

namespace tavlin {

class GroupCard;

// The groups of the overlay's rows dealt over side-by-side columns in a vertical
// scroll area, with the legend line and the back-to-top button below. The number of
// columns follows the grid's width and the columns are dealt anew when it changes.
class ShortcutGrid : public QWidget {
public:
    explicit ShortcutGrid(const ShortcutOverlay& overlay, KeyText::Notation notation = KeyText::Notation::desktop,
                          QWidget* parent = nullptr);

    // 0 until the grid has been given its first size.
    int columnCount() const { return columnCount_; }
    // Glides the list back so that its top marker is at the top of the visible region.
    void scrollToTop();
    // Puts the top marker at the top of the visible region at once, as a new grid starts.
    void jumpToTop();
    // Takes over the group cards of a grid that is about to go: the ones that show a
    // group of this grid exactly as it would are dealt into its columns instead of new
    // ones; the others are dropped once the columns are dealt.
    void takeCardsOf(ShortcutGrid& other);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildColumns(int count);
    // A card for `group` in `column`: a spare one that shows it, else a new one.
    GroupCard* cardFor(const GroupEntry& group, QWidget* column);

    std::vector<GroupEntry> groups_;
    KeyText::Notation notation_;
    int columnCount_ = 0;
    // The cards in the columns, and those free to be dealt again.
    std::vector<GroupCard*> cards_;
    std::vector<GroupCard*> spare_;
    QScrollArea* scrollArea_;
    QWidget* topMarker_;
    QWidget* columnsRow_;
    QPropertyAnimation* scrollAnimation_;
};

} // namespace tavlin
