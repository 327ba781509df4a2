#include "Tavlin/ShortcutScanner.h"
#include "platform/linux/atspi/model/MenuSnapshot.h"
#include "platform/AXRead.h"
#include "platform/sim/SimAccessibility.h"
#include "tests/core/Rows.h"

#include <gtest/gtest.h>

#include <set>

using namespace tavlin;
using namespace tavlin::platform;
using namespace tavlin::platform::atspi;

namespace {

using Role = MenuCapture::Role;
using tavlin::testing::Row;

// Builds a capture node by node; add() returns the new node's index.
struct Capture {
    MenuCapture capture;
    Capture() { capture.nodes.push_back(MenuCapture::Node{true, "", Role::menuBar, true, true, {}, true, {}}); }

    std::size_t add(std::size_t parent, Role role, std::string name, std::optional<std::string> binding = {},
                    bool sensitive = true, bool visible = true) {
        capture.nodes.push_back(MenuCapture::Node{true, std::move(name), role, visible, sensitive, std::move(binding), true, {}});
        const std::size_t index = capture.nodes.size() - 1;
        capture.nodes[parent].children.push_back(index);
        return index;
    }
    // A node whose details the scan did not read.
    std::size_t addUnread(std::size_t parent) {
        capture.nodes.push_back(MenuCapture::Node{});
        const std::size_t index = capture.nodes.size() - 1;
        capture.nodes[parent].children.push_back(index);
        return index;
    }
};

std::vector<Row> scan(const MenuCapture& capture) {
    sim::SimAccessibilityService ax;
    auto application = sim::SimElement::make();
    if (AXElementRef bar = MenuSnapshot::menuBar(capture)) application->set("AXMenuBar", AXValue{bar});
    ax.addApplication(7, application);
    return tavlin::testing::rows(ShortcutScanner::shortcuts(ax, 7));
}

// The same menus in GTK's shape (items under the "menu" node) and in Qt's (items under
// an unnamed popup menu of a "menu item"). How each reads as rows, the end-to-end checks
// of GTK 3, Qt 5 and Qt 6 applications show.
Capture gtkMenus() {
    Capture gtk;
    const std::size_t file = gtk.add(0, Role::menu, "File", "<Alt>f;<Alt>f;");
    gtk.add(file, Role::item, "New", "n;;<Primary>n");
    gtk.add(file, Role::separator, "");
    gtk.add(file, Role::item, "Hidden", "h;;<Primary>h", true, false);
    gtk.add(file, Role::item, "Disabled", "d;;<Primary>d", false);
    const std::size_t recent = gtk.add(file, Role::menu, "Recent", "r;<Alt>f:r;<Primary>r");
    gtk.add(recent, Role::item, "Clear", "c;;<Primary><Shift>Delete");
    const std::size_t deeper = gtk.add(recent, Role::menu, "More", "m;;<Primary>m");
    gtk.add(deeper, Role::item, "Too deep", "t;;<Primary>t");
    gtk.add(file, Role::item, "Quit", "q;;<Primary>q");
    const std::size_t help = gtk.add(0, Role::menu, "Help");
    gtk.add(help, Role::item, "Contents", "c;;F1");
    const std::size_t gone = gtk.add(0, Role::menu, "Gone", {}, true, false);
    gtk.add(gone, Role::item, "In a hidden menu", "g;;<Primary>g");
    return gtk;
}

Capture qtMenus() {
    Capture qt;
    const std::size_t qtFile = qt.add(qt.add(0, Role::item, "File", "Alt+F"), Role::popupMenu, "", {}, true, false);
    qt.add(qtFile, Role::item, "New", "Ctrl+N", true, false);
    qt.add(qtFile, Role::separator, "", {}, false, false);
    qt.add(qtFile, Role::item, "Disabled", "Ctrl+D", false, false);
    const std::size_t qtRecent = qt.add(qt.add(qtFile, Role::item, "Recent", "Ctrl+R", true, false), Role::menu, "");
    qt.add(qtRecent, Role::item, "Clear", "Ctrl+Shift+Del", true, false);
    const std::size_t qtDeeper = qt.add(qt.add(qtRecent, Role::item, "More", "Ctrl+M"), Role::popupMenu, "");
    qt.add(qtDeeper, Role::item, "Too deep", "Ctrl+T");
    qt.add(qtFile, Role::item, "Quit", "Ctrl+Q", true, false);
    qt.add(qtFile, Role::item, "Save As...", "Alt+A", true, false);
    qt.add(0, Role::separator, "");
    const std::size_t qtHelp = qt.add(qt.add(0, Role::item, "Help", "Alt+H"), Role::popupMenu, "");
    qt.add(qtHelp, Role::item, "Contents", "F1", true, false);
    return qt;
}

// A bar hidden as a whole (a Qt bar marks all its items not visible then) is read like
// a shown one; in a shown bar, an item marked not visible stays out.
TEST(MenuSnapshot, ABarHiddenAsAWholeIsReadWhole) {
    auto qtBar = [](bool itemsVisible) {
        Capture qt;
        for (const char* title : {"File", "View"}) {
            const std::size_t item = qt.add(0, Role::item, title, std::string("Alt+") + title[0], true, itemsVisible);
            const std::size_t menu = qt.add(item, Role::popupMenu, "", {}, true, false);
            qt.add(menu, Role::item, std::string("Open ") + title, "Ctrl+T, O", true, false);
        }
        return qt;
    };
    const std::vector<Row> whole{{"File", "Open File", "⌘T, O"}, {"View", "Open View", "⌘T, O"}};
    Capture hidden = qtBar(false);
    EXPECT_TRUE(MenuSnapshot::hiddenAsAWhole(hidden.capture));
    EXPECT_EQ(scan(hidden.capture), whole);
    EXPECT_EQ(scan(qtBar(true).capture), whole);

    Capture shown = qtBar(true);
    shown.capture.nodes[shown.capture.nodes[0].children[1]].visible = false; // "View" hidden on its own
    EXPECT_FALSE(MenuSnapshot::hiddenAsAWhole(shown.capture));
    EXPECT_EQ(scan(shown.capture), (std::vector<Row>{{"File", "Open File", "⌘T, O"}}));
    // The bar itself marked not visible: its items count whatever they say.
    shown.capture.nodes[0].visible = false;
    EXPECT_EQ(scan(shown.capture), whole);
}

// The titles of the items a snapshot shows, each after those of the items above it:
// "File/Recent/Clear".
std::set<std::string> shownItems(const AXElementRef& element, const std::string& above = "") {
    std::set<std::string> shown;
    const std::vector<AXElementRef> items = AXRead::elements(*element, "AXChildren");
    for (const AXElementRef& item : items) {
        const std::string path = above + AXRead::text(*item, "AXTitle").value_or("?");
        shown.insert(path);
        if (const std::vector<AXElementRef> menu = AXRead::elements(*item, "AXChildren"); !menu.empty())
            shown.merge(shownItems(menu.front(), path + "/"));
    }
    return shown;
}

// The same of the items MenuSnapshot::holds() takes for shown, among the children of
// each item and those of its children.
std::set<std::string> heldItems(const MenuCapture& capture, std::vector<std::size_t> items = {}) {
    std::set<std::string> held;
    std::vector<std::size_t> candidates = capture.nodes[items.empty() ? 0 : items.back()].children;
    if (!items.empty())
        for (std::size_t child : capture.nodes[items.back()].children)
            candidates.insert(candidates.end(), capture.nodes[child].children.begin(), capture.nodes[child].children.end());
    std::string above;
    for (std::size_t item : items) above += (capture.nodes[item].known ? capture.nodes[item].name : "?") + "/";
    for (std::size_t candidate : candidates) {
        items.push_back(candidate);
        if (MenuSnapshot::holds(capture, items)) {
            held.insert(above + (capture.nodes[candidate].known ? capture.nodes[candidate].name : "?"));
            held.merge(heldItems(capture, items));
        }
        items.pop_back();
    }
    return held;
}

// What the reader counts rows of while it reads: exactly the items the snapshot shows,
// in either shape, with hidden items, a hidden menu, and a bar hidden as a whole.
TEST(MenuSnapshot, HoldsTheItemsItShows) {
    Capture hiddenBar = qtMenus();
    for (std::size_t item : hiddenBar.capture.nodes[0].children) hiddenBar.capture.nodes[item].visible = false;
    Capture unread = gtkMenus();
    unread.addUnread(unread.capture.nodes[0].children.front());
    for (const Capture& capture : {gtkMenus(), qtMenus(), hiddenBar, unread}) {
        const std::set<std::string> shown = shownItems(MenuSnapshot::menuBar(capture.capture));
        EXPECT_EQ(heldItems(capture.capture), shown);
        EXPECT_FALSE(shown.empty());
    }
    EXPECT_TRUE(shownItems(MenuSnapshot::menuBar(gtkMenus().capture)).count("File/Recent/More"));
    EXPECT_FALSE(shownItems(MenuSnapshot::menuBar(gtkMenus().capture)).count("Gone/In a hidden menu"));
}

TEST(MenuSnapshot, TitlesAreVerbatimAndNodesNotReadFailEveryRead) {
    Capture capture;
    const std::size_t menu = capture.add(0, Role::menu, " Spaced  ");
    capture.add(menu, Role::item, "  Keep\tAs Is ", "k;;<Primary>k");
    capture.addUnread(menu);
    const std::size_t item = capture.add(menu, Role::item, "Sub", "s;;<Primary>s");
    capture.addUnread(item); // an item whose children were listed but not read
    const std::vector<Row> expected{{" Spaced  ", "  Keep\tAs Is ", "⌘K"}, {" Spaced  ", "Sub", "⌘S"}};
    EXPECT_EQ(scan(capture.capture), expected);
}

// An empty capture, a bar of menus without items, children outside the capture, a menu
// that holds itself and nodes listed over and over: no crash, and no row more than the
// menus hold.
TEST(MenuSnapshot, MalformedCapturesScanAsTheMenusTheyHold) {
    EXPECT_EQ(MenuSnapshot::menuBar(MenuCapture{}), nullptr);
    EXPECT_TRUE(scan(MenuCapture{}).empty());
    Capture onlyMenus;
    onlyMenus.add(0, Role::menu, "File");
    onlyMenus.add(0, Role::item, "Edit");
    EXPECT_TRUE(scan(onlyMenus.capture).empty());

    Capture capture;
    const std::size_t menu = capture.add(0, Role::menu, "File");
    capture.add(menu, Role::item, "New", "n;;<Primary>n");
    const std::size_t loop = capture.add(menu, Role::menu, "Loop", "l;;<Primary>l");
    capture.capture.nodes[menu].children.push_back(999);
    capture.capture.nodes[0].children.push_back(12345);
    capture.capture.nodes[menu].children.push_back(menu);
    for (int i = 0; i < 3000; ++i) {
        capture.capture.nodes[0].children.push_back(menu);
        capture.capture.nodes[menu].children.push_back(loop);
        capture.capture.nodes[loop].children.push_back(loop);
    }
    EXPECT_EQ(scan(capture.capture), (std::vector<Row>{{"File", "New", "⌘N"}, {"File", "Loop", "⌘L"}}));
}

} // namespace
