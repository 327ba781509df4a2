#include "TavlinUI/LinuxCommonShortcuts.h"

#include "tests/core/Rows.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using tavlin::LinuxCommonShortcuts;
using tavlin::ShortcutItem;
using Desktop = LinuxCommonShortcuts::Desktop;

const std::string screenshots = "スクリーンショット \u00B7 常設";

TEST(LinuxCommonShortcuts, TheDesktopIsTheFirstEntryWeKnow) {
    const std::pair<const char*, Desktop> cases[] = {
        {"GNOME", Desktop::gnome},        {"ubuntu:GNOME", Desktop::gnome}, {"KDE", Desktop::kde},
        {"XFCE", Desktop::xfce},          {"xfce", Desktop::xfce},          {"KDE:GNOME", Desktop::kde},
        {"X-Cinnamon", Desktop::unknown}, {"", Desktop::unknown},           {"GNOMEX", Desktop::unknown},
        {":", Desktop::unknown},          {"MATE:", Desktop::unknown},
        // GNOME Flashback names GNOME second, but its screenshot keys are not the Shell's.
        {"GNOME-Flashback:GNOME", Desktop::unknown},
    };
    for (const auto& [value, desktop] : cases) EXPECT_EQ(LinuxCommonShortcuts::desktop(value), desktop) << value;
}

// The merge pairs rows only when both write a combination the same way, so the table
// must be in the notation the scanner writes: modifiers once each, in the order ⌃⌥⇧⌘.
TEST(LinuxCommonShortcuts, KeysAreInTheScannersNotation) {
    const std::string order[] = {"\u2303", "\u2325", "\u21E7", "\u2318"};
    for (Desktop desktop : {Desktop::unknown, Desktop::gnome, Desktop::kde, Desktop::xfce}) {
        for (const ShortcutItem& row : LinuxCommonShortcuts::items(desktop, "org.gnome.Nautilus")) {
            std::string_view keys = row.keys();
            std::size_t next = 0;
            for (bool more = true; more;) {
                more = false;
                for (std::size_t m = 0; m < 4; ++m)
                    if (keys.starts_with(order[m])) {
                        EXPECT_GE(m, next) << row.keys();
                        next = m + 1;
                        keys.remove_prefix(order[m].size());
                        more = true;
                    }
            }
            EXPECT_FALSE(keys.empty()) << row.keys();
        }
    }
}

TEST(LinuxCommonShortcuts, ScreenshotRowsOnlyForADesktopWeKnow) {
    const auto editing = tavlin::testing::rows(LinuxCommonShortcuts::items(Desktop::unknown));
    for (Desktop desktop : {Desktop::gnome, Desktop::kde, Desktop::xfce}) {
        const auto all = tavlin::testing::rows(LinuxCommonShortcuts::items(desktop));
        ASSERT_GT(all.size(), editing.size());
        EXPECT_TRUE(std::equal(editing.begin(), editing.end(), all.begin()));
        std::set<std::string> keys;
        for (auto row = all.begin() + editing.size(); row != all.end(); ++row) {
            EXPECT_EQ(std::get<0>(*row), screenshots);
            EXPECT_TRUE(keys.insert(std::get<2>(*row)).second) << std::get<2>(*row) << " twice";
        }
    }
}

// GNOME Files has no menu bar to read: its own keys come with the table, on any
// desktop, for its identifier exactly.
TEST(LinuxCommonShortcuts, GnomeFilesRowsComeLastForItsIdentifierOnly) {
    const std::string files = "ファイル \u00B7 常設";
    const auto base = LinuxCommonShortcuts::items(Desktop::kde);
    for (const std::optional<std::string>& other : std::vector<std::optional<std::string>>{
             std::nullopt, "", "org.gnome.nautilus", "org.gnome.Nautilus ", "org.kde.dolphin"})
        EXPECT_EQ(tavlin::testing::rows(LinuxCommonShortcuts::items(Desktop::kde, other)), tavlin::testing::rows(base))
            << other.value_or("(none)");
    const auto baseRows = tavlin::testing::rows(base);
    const auto withFiles = tavlin::testing::rows(LinuxCommonShortcuts::items(Desktop::kde, "org.gnome.Nautilus"));
    ASSERT_GT(withFiles.size(), baseRows.size());
    EXPECT_TRUE(std::equal(baseRows.begin(), baseRows.end(), withFiles.begin()));
    for (std::size_t i = baseRows.size(); i < withFiles.size(); ++i) EXPECT_EQ(std::get<0>(withFiles[i]), files);
}

} // namespace
