// The menu reader's parts that need no bus, fed with replies built here.
#include "platform/linux/atspi/AtspiCaptureBuilder.h"
#include "platform/linux/atspi/AtspiMenuBarLocator.h"
#include "platform/linux/atspi/AtspiMenuWalk.h"
#include "platform/linux/atspi/bus/AtspiReplies.h"
#include "platform/linux/common/GLibHandle.h"
#include "platform/linux/common/LibdbusHandle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace tavlin::platform;
using namespace tavlin::platform::atspi;

namespace {

constexpr const char* app = ":1.7";

std::uint64_t bit(AtspiStateType state) { return std::uint64_t{1} << state; }

// One object of a cache reply.
struct Record {
    std::string path;
    std::string name;
    std::uint32_t role;
    std::uint64_t states = 0;
    std::string parent = "/org/a11y/atspi/null";
    std::string parentBus = app;
    std::string bus = app;
};

GVariant* reference(const std::string& bus, const std::string& path) {
    return g_variant_new("(so)", bus.c_str(), path.c_str());
}

GVariant* states(std::uint64_t states) {
    GVariantBuilder words;
    g_variant_builder_init(&words, G_VARIANT_TYPE("au"));
    g_variant_builder_add(&words, "u", static_cast<guint32>(states));
    g_variant_builder_add(&words, "u", static_cast<guint32>(states >> 32));
    return g_variant_builder_end(&words);
}

// A reply carrying `body`, as libdbus reads it off the wire.
libdbus::Message replyWith(const glib::Variant& body) {
    GDBusMessage* message = g_dbus_message_new();
    g_dbus_message_set_message_type(message, G_DBUS_MESSAGE_TYPE_METHOD_RETURN);
    g_dbus_message_set_serial(message, 2);
    g_dbus_message_set_reply_serial(message, 1);
    g_dbus_message_set_body(message, body.get());
    gsize size = 0;
    guchar* blob = g_dbus_message_to_blob(message, &size, G_DBUS_CAPABILITY_FLAGS_NONE, nullptr);
    g_object_unref(message);
    libdbus::Message reply(dbus_message_demarshal(reinterpret_cast<const char*>(blob), static_cast<int>(size), nullptr));
    g_free(blob);
    EXPECT_TRUE(reply);
    return reply;
}

// A GetItems reply: with each object's place (`places`, one per record), or else in the
// older layout with child lists.
libdbus::Message cacheReply(const std::vector<Record>& records, const std::vector<int>& places = {}) {
    const bool counted = !places.empty();
    GVariantBuilder items;
    g_variant_builder_init(&items, G_VARIANT_TYPE(counted ? "a((so)(so)(so)iiassusau)" : "a((so)(so)(so)a(so)assusau)"));
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        GVariantBuilder item;
        g_variant_builder_init(&item, G_VARIANT_TYPE_TUPLE);
        g_variant_builder_add_value(&item, reference(r.bus, r.path));
        g_variant_builder_add_value(&item, reference(r.bus, "/org/a11y/atspi/accessible/root"));
        g_variant_builder_add_value(&item, reference(r.parentBus, r.parent));
        if (counted) {
            g_variant_builder_add(&item, "i", places[i]);
            g_variant_builder_add(&item, "i", 0);
        } else {
            g_variant_builder_add_value(&item, g_variant_new_array(G_VARIANT_TYPE("(so)"), nullptr, 0));
        }
        g_variant_builder_add_value(&item, g_variant_new_strv(nullptr, 0));
        g_variant_builder_add(&item, "s", r.name.c_str());
        g_variant_builder_add(&item, "u", r.role);
        g_variant_builder_add(&item, "s", "a description");
        g_variant_builder_add_value(&item, states(r.states));
        g_variant_builder_add_value(&items, g_variant_builder_end(&item));
    }
    GVariant* list = g_variant_builder_end(&items);
    return replyWith(glib::sink(g_variant_new_tuple(&list, 1)));
}

AtspiDetails::ByPath read(const libdbus::Message& reply) {
    AtspiDetails::ByPath cache;
    EXPECT_TRUE(AtspiReplies::read(reply.get(), app, cache));
    return cache;
}

} // namespace

TEST(AtspiReplies, ReadsTheCacheInBothLayoutsFieldByField) {
    const std::vector<Record> records{
        {"/o/1", "File", ATSPI_ROLE_MENU, bit(ATSPI_STATE_SENSITIVE) | bit(ATSPI_STATE_VISIBLE), "/o/0"},
        // A state in the second word.
        {"/o/2", "Quit", ATSPI_ROLE_MENU_ITEM, bit(ATSPI_STATE_READ_ONLY), "/o/1"},
        // A parent on another bus is no parent here; an object on another bus is no object.
        {"/o/3", "Plug", ATSPI_ROLE_PANEL, 0, "/x", ":1.99"},
        {"/o/4", "Stranger", ATSPI_ROLE_MENU, 0, "/o/0", app, ":1.99"},
    };
    for (const bool counted : {true, false}) {
        SCOPED_TRACE(counted ? "with places" : "with child lists");
        const AtspiDetails::ByPath cache = read(counted ? cacheReply(records, {3, 0, 1, 2}) : cacheReply(records));
        ASSERT_EQ(cache.size(), 3U);
        const AtspiDetails& file = cache.at("/o/1");
        EXPECT_TRUE(file.known);
        EXPECT_EQ(file.name, "File");
        EXPECT_EQ(file.role, static_cast<std::uint32_t>(ATSPI_ROLE_MENU));
        EXPECT_TRUE(file.statesKnown);
        EXPECT_TRUE(file.has(ATSPI_STATE_SENSITIVE) && file.has(ATSPI_STATE_VISIBLE) && !file.has(ATSPI_STATE_ACTIVE));
        EXPECT_EQ(file.parent, "/o/0");
        EXPECT_EQ(file.index, counted ? 3 : -1);
        EXPECT_TRUE(cache.at("/o/2").has(ATSPI_STATE_READ_ONLY));
        EXPECT_EQ(cache.at("/o/2").parent, "/o/1");
        EXPECT_EQ(cache.at("/o/3").parent, "");
    }
}

TEST(AtspiReplies, EachReaderTakesItsOwnLayoutOnly) {
    auto reply = [](const char* text) { return replyWith(glib::sink(g_variant_new_parsed(text))); };
    AtspiDetails::ByPath cache;
    EXPECT_FALSE(AtspiReplies::read(reply("([('a', objectpath '/o/1', 'x')],)").get(), app, cache));
    EXPECT_TRUE(cache.empty());

    const libdbus::Message references = reply("([(':1.7', objectpath '/o/1'), (':1.99', '/o/2'), (':1.7', '/o/3')],)");
    EXPECT_EQ(AtspiReplies::pathsOn(references.get(), app), (std::vector<std::string>{"/o/1", "/o/3"}));
    EXPECT_EQ(AtspiReplies::references(references.get()),
              (std::vector<AtspiReplies::Reference>{{":1.7", "/o/1"}, {":1.99", "/o/2"}, {":1.7", "/o/3"}}));
    EXPECT_TRUE(AtspiReplies::pathsOn(reply("([(':1.7', '/o/1')],)").get(), app).empty()); // a string, not a path

    // A state in the second word.
    EXPECT_EQ(AtspiReplies::states(reply("([uint32 16, 2],)").get()), (std::uint64_t{2} << 32) | 16);
    EXPECT_EQ(AtspiReplies::number(reply("(uint32 7,)").get()), 7U);
    EXPECT_EQ(AtspiReplies::text(reply("('<Primary>s',)").get()), "<Primary>s");
    EXPECT_EQ(AtspiReplies::textInVariant(reply("(<'Fichier…'>,)").get()), "Fichier…");
    EXPECT_EQ(AtspiReplies::truthInVariant(reply("(<true>,)").get()), true);
    // Another type, or more values than one, tell nothing.
    EXPECT_EQ(AtspiReplies::number(reply("(7,)").get()), std::nullopt);
    EXPECT_EQ(AtspiReplies::text(reply("('a', 'b')").get()), std::nullopt);
    EXPECT_EQ(AtspiReplies::textInVariant(reply("(<7>,)").get()), std::nullopt);
    EXPECT_EQ(AtspiReplies::truthInVariant(reply("(<'true'>,)").get()), std::nullopt);
    EXPECT_EQ(AtspiReplies::states(reply("([7],)").get()), std::nullopt);
}

TEST(AtspiMenuBarLocator, PrefersTheActiveWindowThenWindowOrderThenTheShallowestBar) {
    const std::uint64_t active = bit(ATSPI_STATE_ACTIVE);
    std::vector<Record> records{
        {"/w/1", "Palette", ATSPI_ROLE_FRAME},
        {"/w/2", "Main", ATSPI_ROLE_FRAME},
        {"/w/1/bar", "", ATSPI_ROLE_MENU_BAR, 0, "/w/1"},
        {"/w/2/panel", "", ATSPI_ROLE_PANEL, 0, "/w/2"},
        {"/w/2/panel/bar", "", ATSPI_ROLE_MENU_BAR, 0, "/w/2/panel"},
        {"/w/2/bar", "", ATSPI_ROLE_MENU_BAR, 0, "/w/2"},
        // Not below any window: never chosen.
        {"/loose/bar", "", ATSPI_ROLE_MENU_BAR, 0, "/loose"},
    };
    const std::vector<std::string> windows{"/w/1", "/w/2"};
    EXPECT_EQ(AtspiMenuBarLocator::fromCache(read(cacheReply(records)), windows), "/w/1/bar");
    records[1].states = active;
    EXPECT_EQ(AtspiMenuBarLocator::fromCache(read(cacheReply(records)), windows), "/w/2/bar");

    // Only the loose bar, whose ancestors run in a circle.
    const std::vector<Record> loose{{"/a", "", ATSPI_ROLE_PANEL, 0, "/b"},
                                    {"/b", "", ATSPI_ROLE_PANEL, 0, "/a"},
                                    {"/a/bar", "", ATSPI_ROLE_MENU_BAR, 0, "/a"}};
    EXPECT_EQ(AtspiMenuBarLocator::fromCache(read(cacheReply(loose)), windows), std::nullopt);
}

// LibreOffice's window holds its own copy of the menu bar, nearer the window, whose
// menus mark no entry visible, beside the bar GTK shows, which marks its entries visible
// while their menus are closed: the shown one is read. A bar hidden as a whole is still
// read when it is the only one of the active window.
TEST(AtspiMenuBarLocator, PrefersTheBarWhoseEntriesAreShownWithinAWindow) {
    const std::uint64_t visible = bit(ATSPI_STATE_VISIBLE) | bit(ATSPI_STATE_SHOWING);
    const std::uint64_t hidden = bit(ATSPI_STATE_SENSITIVE);
    std::vector<Record> records{
        {"/w", "Writer", ATSPI_ROLE_FRAME},
        {"/w/copy", "", ATSPI_ROLE_MENU_BAR, visible, "/w"},
        {"/w/copy/file", "File", ATSPI_ROLE_MENU, visible, "/w/copy"},
        {"/w/copy/file/open", "Open...", ATSPI_ROLE_MENU_ITEM, hidden, "/w/copy/file"},
        {"/w/panel", "", ATSPI_ROLE_PANEL, visible, "/w"},
        {"/w/panel/gtk", "", ATSPI_ROLE_MENU_BAR, visible, "/w/panel"},
        {"/w/panel/gtk/file", "File", ATSPI_ROLE_MENU, visible, "/w/panel/gtk"},
        {"/w/panel/gtk/file/open", "Open...", ATSPI_ROLE_MENU_ITEM, visible, "/w/panel/gtk/file"},
        {"/d", "Dialog", ATSPI_ROLE_FRAME},
        {"/d/hidden", "", ATSPI_ROLE_MENU_BAR, 0, "/d"},
        {"/d/hidden/file", "File", ATSPI_ROLE_MENU_ITEM, 0, "/d/hidden"},
        {"/d/empty", "", ATSPI_ROLE_MENU_BAR, visible, "/d"},
    };
    AtspiDetails::ByPath cache = read(cacheReply(records));
    EXPECT_FALSE(AtspiMenuBarLocator::shownInCache(cache, "/w/copy"));
    EXPECT_TRUE(AtspiMenuBarLocator::shownInCache(cache, "/w/panel/gtk"));
    // No entries in the cache tell nothing against a bar.
    EXPECT_TRUE(AtspiMenuBarLocator::shownInCache(cache, "/d/hidden"));
    EXPECT_TRUE(AtspiMenuBarLocator::shownInCache(cache, "/d/empty"));
    EXPECT_EQ(AtspiMenuBarLocator::fromCache(cache, {"/w", "/d"}), "/w/panel/gtk");
    // The active window's bar, hidden or not, before a shown bar of another window.
    records[8].states = bit(ATSPI_STATE_ACTIVE);
    records.pop_back();
    EXPECT_EQ(AtspiMenuBarLocator::fromCache(read(cacheReply(records)), {"/w", "/d"}), "/d/hidden");
    // Neither bar of the window shown: the shallowest, as before.
    records[7].states = hidden;
    EXPECT_EQ(AtspiMenuBarLocator::fromCache(read(cacheReply(records)), {"/w"}), "/w/copy");
}

TEST(AtspiMenuWalk, OrdersChildrenByTheirCachedPlacesOnlyWhenThosePlacesAreWhole) {
    const std::vector<Record> records{
        {"/m/a", "A", ATSPI_ROLE_MENU_ITEM, 0, "/m"}, {"/m/b", "B", ATSPI_ROLE_MENU_ITEM, 0, "/m"},
        {"/m/c", "C", ATSPI_ROLE_MENU_ITEM, 0, "/m"},
        // Two at the same place.
        {"/n/a", "A", ATSPI_ROLE_MENU_ITEM, 0, "/n"}, {"/n/b", "B", ATSPI_ROLE_MENU_ITEM, 0, "/n"},
        // A gap: place 2 of two children.
        {"/p/a", "A", ATSPI_ROLE_MENU_ITEM, 0, "/p"}, {"/p/b", "B", ATSPI_ROLE_MENU_ITEM, 0, "/p"},
    };
    const AtspiMenuWalk::Children children = AtspiMenuWalk::children(read(cacheReply(records, {2, 0, 1, 0, 0, 0, 2})));
    EXPECT_EQ(children.of.at("/m"), (std::vector<std::string>{"/m/b", "/m/c", "/m/a"}));
    EXPECT_EQ(children.placed, (std::unordered_set<std::string>{"/m"}));
    EXPECT_EQ(children.of.at("/n").size(), 2U);
    EXPECT_EQ(children.of.at("/p").size(), 2U);
    // Without places nothing is in order.
    EXPECT_TRUE(AtspiMenuWalk::children(read(cacheReply(records))).placed.empty());
}

TEST(AtspiMenuWalk, TakesAMenuWhoseEntriesAreAllInvisibleAsTellingNothingOfThem) {
    const std::uint64_t shown = bit(ATSPI_STATE_VISIBLE) | bit(ATSPI_STATE_SENSITIVE);
    const AtspiDetails::ByPath cache = read(cacheReply({
        // A closed LibreOffice menu: no entry visible.
        {"/lo/open", "Open...", ATSPI_ROLE_MENU_ITEM, bit(ATSPI_STATE_SENSITIVE), "/lo"},
        {"/lo/close", "Close", ATSPI_ROLE_MENU_ITEM, bit(ATSPI_STATE_SENSITIVE), "/lo"},
        // A GTK menu with one item hidden.
        {"/gtk/new", "New", ATSPI_ROLE_MENU_ITEM, shown, "/gtk"},
        {"/gtk/hidden", "Debug", ATSPI_ROLE_MENU_ITEM, bit(ATSPI_STATE_SENSITIVE), "/gtk"},
    }));
    EXPECT_FALSE(AtspiMenuWalk::visibilityTold(cache, {"/lo/open", "/lo/close"}));
    EXPECT_TRUE(AtspiMenuWalk::visibilityTold(cache, {"/gtk/new", "/gtk/hidden"}));
    // An entry the cache doesn't hold may be shown: the menu is read as told.
    EXPECT_TRUE(AtspiMenuWalk::visibilityTold(cache, {"/lo/open", "/elsewhere"}));
}
