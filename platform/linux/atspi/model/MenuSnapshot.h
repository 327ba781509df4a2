#pragma once

#include "platform/Accessibility.h"
#include "platform/linux/atspi/model/MenuCapture.h"
#include "platform/linux/atspi/model/SnapshotElement.h"

#include <vector>

namespace tavlin::platform::atspi {

// Turns a captured menu bar into the elements the scanner walks, whatever the
// toolkit's shape: menu bar -> top-level item -> its one menu (no title) -> items ->
// submenu item -> its one menu -> items.
//
// GTK puts a menu's items directly under the "menu" node that also stands for the
// menu-bar item or submenu item; Qt puts them under an unnamed "popup menu" (or
// "menu") child of a "menu item". Items that GTK marks as not visible are left out.
// A menu bar hidden as a whole (Dolphin's by default, or a Qt application's while a
// global menu shows its menus outside the window) still holds working shortcuts: it is
// read like a shown one, all its items. Only in a shown bar does an item marked not
// visible count as hidden.
struct MenuSnapshot {
    // Items deeper than this (counting top-level items as 1) are never read by the
    // scanner; a submenu at this depth is shown as an empty menu.
    static constexpr int itemDepthBound = 3;
    // At most this many elements in one snapshot: a broken or hostile application that
    // lists the same nodes over and over can't make a snapshot grow without end. Far
    // beyond any real menu bar; the items past it are left out.
    static constexpr std::size_t elementBudget = 20000;

    static AXElementRef menuBar(const MenuCapture& capture);
    // Whether the captured bar is hidden as a whole: the bar is marked not visible, or
    // none of its items is (a hidden Qt bar marks every item of it not visible).
    static bool hiddenAsAWhole(const MenuCapture& capture);

    // Whether `child`, a child of the item `parent`, is the menu that holds the item's
    // entries (the Qt shape) rather than an entry itself.
    static bool isMenuOf(const MenuCapture::Node& parent, const MenuCapture::Node& child);
    // The nodes that hold the entries of the item `index`, in order: the node itself for
    // the GTK shape, else its menu child. Empty when it has no entries.
    static std::vector<std::size_t> entriesOf(const MenuCapture& capture, std::size_t index);

    // What the element of one item tells of itself (its title, whether it is enabled,
    // its keys), as far as the node was read; without its menu.
    static SnapshotElement::Values itemValues(const MenuCapture::Node& node);
    // Whether the snapshot of the capture as it stands holds the item reached through
    // `items`: a top-level item of the bar, then an entry of its menu, and so on down to
    // the item. A node not read yet counts as what the snapshot makes of it now.
    static bool holds(const MenuCapture& capture, const std::vector<std::size_t>& items);
};

} // namespace tavlin::platform::atspi
