#include "ShellFixture.h"

namespace tavlin::testing {
namespace {

struct FrameCase {
    const char* name;
    Rect visible;
    Rect panel;
};

TEST(PanelFrame, SeventyEightBySeventyTwoPercentWithinBoundsCentredOnTheVisibleArea) {
    const FrameCase cases[] = {
        {"both lower bounds", {0, 0, 800, 600}, {40, 40, 720, 520}},
        {"upper width bound", {0, 25, 1440, 875}, {160, 147.5, 1120, 630}},
        {"in between", {0, 0, 1280, 775}, {140.8, 108.5, 998.4, 558}},
        {"both upper bounds", {0, 0, 2560, 1415}, {720, 307.5, 1120, 800}},
        {"narrower than the panel", {100, 0, 700, 800}, {90, 112, 720, 576}},
        {"offset second display", {1920, -200, 1280, 775}, {2060.8, -91.5, 998.4, 558}},
    };
    for (const FrameCase& c : cases) {
        Shell shell;
        shell.desktop.setScreens({Screen{c.visible}});
        shell.launch();
        shell.pressHotKey();
        ASSERT_TRUE(shell.visible()) << c.name;
        const Rect& frame = shell.panel()->frame();
        EXPECT_DOUBLE_EQ(frame.width, c.panel.width) << c.name;
        EXPECT_DOUBLE_EQ(frame.height, c.panel.height) << c.name;
        EXPECT_DOUBLE_EQ(frame.x, c.panel.x) << c.name;
        EXPECT_DOUBLE_EQ(frame.y, c.panel.y) << c.name;
        EXPECT_EQ(shell.panel()->contentRect(), frame) << c.name; // created with the first frame
        shell.desktop.setScreens({Screen{{0, 0, 800, 600}}});
        shell.deliver({"tavlin://show"}); // a refresh recomputes the frame
        EXPECT_EQ(shell.panel()->frame(), (Rect{40, 40, 720, 520})) << c.name;
    }
}

TEST(PanelFrame, TheMainScreenElseTheFirstElseNoShow) {
    const Screen small{{0, 0, 800, 600}}, large{{800, 0, 2560, 1415}};
    struct ScreenCase {
        const char* name;
        std::vector<Screen> screens;
        std::optional<std::size_t> main;
        std::optional<double> width;
    };
    const ScreenCase cases[] = {
        {"main screen second", {small, large}, 1, 1120},
        {"no main screen", {small, large}, std::nullopt, 720},
        {"no screen at all", {}, std::nullopt, std::nullopt},
    };
    for (const ScreenCase& c : cases) {
        Shell shell;
        shell.desktop.setScreens(c.screens, c.main);
        shell.launch();
        shell.pressHotKey();
        EXPECT_EQ(shell.visible(), c.width.has_value()) << c.name;
        if (c.width) {
            EXPECT_DOUBLE_EQ(shell.panel()->frame().width, *c.width) << c.name;
        }
    }
}

} // namespace
} // namespace tavlin::testing
