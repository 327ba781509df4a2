// The tray menu's titles: the shell names them in Japanese, the tray icon shows them in
// the interface's language. A title missing from the catalogue would show in Japanese
// to everybody.
#include "platform/linux/desktop/QtStatusItem.h"

#include "TavlinUI/Overlay/InterfaceLanguage.h"
#include "tests/shell/ShellFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The titles of the menu the shell gives its status item, as the tray icon shows them.
std::vector<std::string> shownTitles() {
    tavlin::testing::Shell shell;
    shell.launch();
    std::vector<std::string> titles;
    for (const tavlin::platform::MenuEntry& entry : shell.desktop.statusItem()->menu())
        if (!entry.separator) titles.push_back(tavlin::platform::QtStatusItem::shownTitle(entry.title).toStdString());
    return titles;
}

} // namespace

TEST(TrayMenu, TheShellsTitlesAreShownInTheInterfacesLanguage) {
    const tavlin::InterfaceLanguage english(QStringLiteral("en"));
    ASSERT_TRUE(english.hasCatalogue());
    EXPECT_EQ(shownTitles(), (std::vector<std::string>{"Show Shortcuts  Alt+Space", "Open Accessibility Settings",
                                                       "Start at Login", "Quit Tavlin"}));
}
