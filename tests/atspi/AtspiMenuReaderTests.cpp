// The menu reader over a stand-in application that answers on a socket of its own: the
// rows the scanner makes of what was read, in the toolkits' two shapes, with and without
// the toolkit's cache, and where reading stops.
#include "Tavlin/ShortcutScanner.h"
#include "platform/linux/atspi/AtspiMenuReader.h"
#include "platform/linux/atspi/bus/AtspiPeerLinks.h"
#include "platform/linux/atspi/model/MenuSnapshot.h"
#include "tests/atspi/StandInApplication.h"

#include <atspi/atspi-constants.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

using namespace tavlin;
using namespace tavlin::platform;
using namespace tavlin::platform::atspi;

namespace {

using Object = StandInApplication::Object;
using Cache = StandInApplication::Cache;

std::uint64_t bit(AtspiStateType state) { return std::uint64_t{1} << state; }
const std::uint64_t shown = bit(ATSPI_STATE_VISIBLE) | bit(ATSPI_STATE_SHOWING) | bit(ATSPI_STATE_SENSITIVE);

struct Item {
    Item(std::string title, std::string binding, std::vector<Item> submenu = {}, std::uint64_t states = shown)
        : title(std::move(title)), binding(std::move(binding)), submenu(std::move(submenu)), states(states) {}
    std::string title;
    std::string binding;
    std::vector<Item> submenu;
    std::uint64_t states;
};
struct Menu {
    std::string title;
    std::vector<Item> items;
};

// The toolkits' shapes: GTK hangs a menu's items under the node that stands for its
// item (role menu); Qt under an unnamed menu child of a menu item.
enum class Shape { gtk, qt };

class Tree {
public:
    explicit Tree(Shape shape) : shape_(shape) {}

    std::map<std::string, Object> of(const std::vector<Menu>& menus) {
        const std::string bar = add({"", ATSPI_ROLE_MENU_BAR, shown, {}, {}});
        for (const Menu& menu : menus) objects_[bar].children.push_back(item({menu.title, "", {}, shown}, menu.items));
        const std::string window = add({"Main", ATSPI_ROLE_FRAME, shown | bit(ATSPI_STATE_ACTIVE), {bar}, {}});
        objects_[StandInApplication::root] = {"stand-in", ATSPI_ROLE_APPLICATION, 0, {window}, {}};
        return objects_;
    }

private:
    std::string add(Object object) {
        const std::string path = "/o/" + std::to_string(objects_.size());
        objects_[path] = std::move(object);
        return path;
    }
    // An item; with entries, one that opens a menu.
    std::string item(const Item& item, const std::vector<Item>& entries) {
        std::vector<std::string> children;
        for (const Item& entry : entries) children.push_back(this->item(entry, entry.submenu));
        if (entries.empty()) return add({item.title, ATSPI_ROLE_MENU_ITEM, item.states, {}, item.binding});
        if (shape_ == Shape::gtk) return add({item.title, ATSPI_ROLE_MENU, item.states, children, item.binding});
        const std::string menu = add({"", ATSPI_ROLE_MENU, shown, children, {}});
        return add({item.title, ATSPI_ROLE_MENU_ITEM, item.states, {menu}, item.binding});
    }

    Shape shape_;
    std::map<std::string, Object> objects_;
};

// An application's element whose menu bar is the snapshot of one capture.
class CapturedApplication : public AXElement {
public:
    explicit CapturedApplication(AXElementRef bar) : bar_(std::move(bar)) {}
    AXReadResult copyAttributeValue(std::string_view attribute) const override {
        if (attribute != "AXMenuBar" || !bar_) return AXReadResult{AXError::noValue, std::nullopt};
        return AXReadResult{0, AXValue{bar_}};
    }

private:
    AXElementRef bar_;
};

class CapturedService : public AccessibilityService {
public:
    explicit CapturedService(AXElementRef bar) : bar_(std::move(bar)) {}
    AXElementRef createApplication(std::int32_t) override { return std::make_shared<CapturedApplication>(bar_); }
    bool isProcessTrusted() override { return true; }
    bool isProcessTrustedWithOptions(bool) override { return true; }

private:
    AXElementRef bar_;
};

// The scanner's rows of the menu bar read from `application`, as "group\ttitle\tkeys".
std::vector<std::string> scan(StandInApplication& application) {
    AtspiPeerLinks links;
    AtspiPeerConnection* peer = links.open(StandInApplication::bus, application.address());
    EXPECT_NE(peer, nullptr);
    if (!peer) return {};
    bool reached = false;
    // Far beyond what a read takes: the reader stops by the rows, never by the clock.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    const std::optional<MenuCapture> capture = AtspiMenuReader::menuBar(
        *peer, links, AtspiMenuReader::Application{StandInApplication::bus, StandInApplication::root, 0, {}}, deadline,
        ShortcutScanner::rowBudget(), reached);
    EXPECT_TRUE(reached);
    CapturedService service(capture ? MenuSnapshot::menuBar(*capture) : nullptr);
    std::vector<std::string> rows;
    for (const ShortcutItem& row : ShortcutScanner::shortcuts(service, 1))
        rows.push_back(row.group() + "\t" + row.title() + "\t" + row.keys());
    return rows;
}

struct Case {
    Shape shape;
    Cache cache;
};
std::string name(const testing::TestParamInfo<Case>& info) {
    return std::string(info.param.shape == Shape::gtk ? "Gtk" : "Qt") +
           (info.param.cache == Cache::everything ? "WithCache" : "WithoutCache");
}

class AtspiMenuReaderTest : public testing::TestWithParam<Case> {};

} // namespace

// What a scan reads: enabled, titled items with a key, down to the items of a submenu;
// an untitled top-level menu is passed over. An item GTK marks not visible stays out
// where the cache tells the menu's role; read call by call, a top-level item is not
// asked its role, and its entries all count as shown (LibreOffice marks none of a closed
// menu's visible). Qt's menus show every item.
TEST_P(AtspiMenuReaderTest, ReadsTheMenusTheScannerWalks) {
    const Case c = GetParam();
    const std::vector<Menu> menus{
        {"File",
         {{"New", "<Primary>n"},
          {"Save", "<Primary>s", {}, bit(ATSPI_STATE_VISIBLE)},
          {"Debug", "<Primary>d", {}, bit(ATSPI_STATE_SENSITIVE)},
          {"Recent", "", {{"Clear", "<Primary>l"}, {"More", "", {{"Too deep", "<Primary>t"}}}}},
          {"Mnemonic only", "m;;"},
          {"Quit", "<Primary>q"}}},
        {"", {{"Untitled", "<Primary>u"}}},
        {"Edit", {{"Copy", "<Primary>c"}}},
    };
    StandInApplication application(Tree(c.shape).of(menus), c.cache);
    std::vector<std::string> expected{"File\tNew\t⌘N", "File\tClear\t⌘L", "File\tQuit\t⌘Q", "Edit\tCopy\t⌘C"};
    if (c.cache == Cache::nothing) expected.insert(expected.begin() + 1, "File\tDebug\t⌘D");
    EXPECT_EQ(scan(application), expected);
}

// Items bound both ways ("<Control>s" and "<Primary>s" are one key, ⌘S) give one row
// each, as do items of an untitled top-level menu: none. Reading goes on until the
// scanner has its 80 rows, and stops not far past them.
TEST_P(AtspiMenuReaderTest, ReadsOnUntilTheScannerHasItsRows) {
    const Case c = GetParam();
    std::vector<Item> untitled, file;
    for (int i = 1; i <= 100; ++i) untitled.push_back({"Untitled " + std::to_string(i), "<Primary>u"});
    const int titles = 300;
    for (int i = 1; i <= titles; ++i) {
        const std::string title = "Item " + std::to_string(i);
        file.push_back({title, "<Control>s"});
        file.push_back({title, "<Primary>s"});
        file.push_back({"About item " + std::to_string(i), ""}); // no key: no row
    }
    std::vector<std::string> expected;
    for (int i = 1; i <= 80; ++i) expected.push_back("File\tItem " + std::to_string(i) + "\t⌘S");
    StandInApplication application(Tree(c.shape).of({{"", untitled}, {"File", file}}), c.cache);
    EXPECT_EQ(scan(application), expected);
    const std::size_t read = application.answered("GetKeyBinding");
    EXPECT_LT(read, untitled.size() + file.size()) << "the whole menu bar was read";
}

INSTANTIATE_TEST_SUITE_P(Shapes, AtspiMenuReaderTest,
                         testing::Values(Case{Shape::gtk, Cache::everything}, Case{Shape::gtk, Cache::nothing},
                                         Case{Shape::qt, Cache::nothing}),
                         name);

// LibreOffice's window holds a copy of its menu bar beside the bar GTK shows, first among
// the window's children: its entries are marked not visible and its keys are wrong. Read
// call by call (its cache holds neither bar yet), the copy is passed over for the bar
// shown; with no other bar, nothing is read rather than the copy's keys.
TEST(AtspiMenuReader, PassesOverACopyOfTheBarWhoseEntriesAreNotShown) {
    std::map<std::string, Object> objects = Tree(Shape::gtk).of({{"View", {{"Styles", "y;;F11"}}}});
    objects["/copy"] = {"", ATSPI_ROLE_MENU_BAR, shown, {"/copy/view"}, {}};
    objects["/copy/view"] = {"View", ATSPI_ROLE_MENU, shown, {"/copy/view/styles"}, {}};
    objects["/copy/view/styles"] = {"Styles", ATSPI_ROLE_MENU_ITEM, bit(ATSPI_STATE_SENSITIVE), {}, "Y"};
    auto window = std::find_if(objects.begin(), objects.end(),
                               [](const auto& object) { return object.second.role == ATSPI_ROLE_FRAME; });
    ASSERT_NE(window, objects.end());
    std::vector<std::string>& children = window->second.children;
    children.insert(children.begin(), "/copy");
    {
        StandInApplication application(objects, Cache::nothing);
        EXPECT_EQ(scan(application), std::vector<std::string>{"View\tStyles\tF11"});
    }
    children.erase(children.begin() + 1, children.end());
    StandInApplication application(objects, Cache::nothing);
    EXPECT_EQ(scan(application), std::vector<std::string>{});
}
