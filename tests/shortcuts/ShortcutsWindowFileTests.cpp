#include "platform/linux/shortcuts/ShortcutsWindowFile.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <string>

namespace tavlin::platform {
namespace {

using File = ShortcutsWindowFile;

// The fixture's help-overlay.ui, built into this program as a resource.
std::string fixture() {
    GBytes* bytes = g_resources_lookup_data("/org/tavlin/Test/gtk/help-overlay.ui", G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    EXPECT_NE(bytes, nullptr);
    if (!bytes) return {};
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    std::string text(data, size);
    g_bytes_unref(bytes);
    return text;
}

File::Text marked(std::string text) { return {std::move(text), "shortcut window", true}; }

std::string window(const std::string& children) {
    return "<interface><object class=\"GtkShortcutsWindow\"><child><object class=\"GtkShortcutsSection\"><child>"
           "<object class=\"GtkShortcutsGroup\"><property name=\"title\">G</property>" +
           children + "</object></child></object></child></object></interface>";
}

std::string shortcut(const std::string& title, const std::string& accelerator) {
    return "<child><object class=\"GtkShortcutsShortcut\"><property name=\"title\">" + title +
           "</property><property name=\"accelerator\">" + accelerator + "</property></object></child>";
}

// Keys as the window shows them: alternatives kept one by one, ranges and gestures,
// shortcuts bound only through an action, and hidden ones left out; properties in any
// order; the markup's entities decoded.
TEST(ShortcutsWindowFile, ReadsSectionsGroupsAndTheShortcutsWithKeys) {
    const auto sections = File::read(fixture(), {});
    const std::vector<File::Section> expected{
        {{}, {{marked("Windows"), {{marked("New window"), {"<Primary>n"}}, {marked("Reload"), {"F5", "<Shift>F5"}}}},
              {marked("Tabs"),
               {{marked("Go to tab"), {"<Primary>Page_Down"}}, {{"Not translated", "", false}, {"<ctrl><shift>question"}}}}}}};
    EXPECT_EQ(sections, expected);
}

// What another program wrote may be broken anywhere: what was read before the fault
// stays, nothing reads outside the text, and the limits hold.
TEST(ShortcutsWindowFile, BrokenOrOversizedFilesGiveWhatWasReadWithinTheLimits) {
    const std::string text = fixture();
    for (std::size_t length = 0; length < text.size(); length += 7) {
        const auto sections = File::read(text.substr(0, length), {});
        std::size_t shortcuts = 0;
        for (const auto& section : sections)
            for (const auto& group : section.groups) shortcuts += group.shortcuts.size();
        EXPECT_LE(shortcuts, 4u) << length;
    }

    std::string many;
    for (int i = 0; i < 50; ++i) many += shortcut(std::to_string(i).append(" S"), "&lt;Primary&gt;a");
    File::Limits limits;
    limits.shortcuts = 10;
    const auto capped = File::read(window(many), limits);
    ASSERT_EQ(capped.size(), 1u);
    EXPECT_EQ(capped[0].groups[0].shortcuts.size(), 10u);

    limits = {};
    limits.textBytes = 8;
    const auto longTitle = File::read(window(shortcut("A title far too long", "a") + shortcut("Short", "b")), limits);
    ASSERT_EQ(longTitle.size(), 1u);
    EXPECT_EQ(longTitle[0].groups[0].shortcuts[0].title.text, "");
    EXPECT_EQ(longTitle[0].groups[0].shortcuts[1].title.text, "Short");

    std::string deep = "<interface><object class=\"GtkShortcutsWindow\">";
    for (int i = 0; i < 10000; ++i) deep += "<child>";
    EXPECT_TRUE(File::read(deep, {}).empty());

    limits = {};
    limits.bytes = 100;
    EXPECT_TRUE(File::read(window(shortcut("A", "a")), limits).empty());
    EXPECT_TRUE(File::read("<interface><object class=\"GtkWindow\"/></interface>", {}).empty());
    EXPECT_TRUE(File::read(std::string("GtkShortcutsWindow\0<<>>\xff\xfe", 26), {}).empty());
}

// A subclass's template stands for the window, and GtkBuilder's spellings of names and
// booleans are its own ("shortcut_type", translatable="1").
TEST(ShortcutsWindowFile, ReadsTemplatesAndGtkBuildersSpellings) {
    const std::string text =
        "<interface><template class=\"AppShortcuts\" parent=\"GtkShortcutsWindow\"><child>"
        "<object class=\"GtkShortcutsSection\"><property name=\"title\" translatable=\"1\" msgctxt=\"c\">Main</property>"
        "<child><object class=\"GtkShortcutsGroup\">"
        "<child><object class=\"GtkShortcutsShortcut\"><property name=\"title\">Swipe</property>"
        "<property name=\"shortcut_type\">gesture-two-finger-swipe-left</property>"
        "<property name=\"accelerator\">a</property></object></child>"
        "<child><object class=\"GtkShortcutsShortcut\"><property name=\"title\">Keep</property>"
        "<property name=\"shortcut_type\">accelerator</property><property name=\"accelerator\">  b  </property>"
        "</object></child></object></child></object></child></template></interface>";
    const std::vector<File::Section> expected{{{"Main", "c", true}, {{{}, {{{"Keep", "", false}, {"b"}}}}}}};
    EXPECT_EQ(File::read(text, {}), expected);
}

} // namespace
} // namespace tavlin::platform
