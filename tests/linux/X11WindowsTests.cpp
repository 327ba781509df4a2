// What other clients write on their windows, read back through X11Windows on a real X
// server ($DISPLAY, a private Xvfb). Any client may set any bytes there: every value is
// taken by its length, never as a C string.
#include "platform/linux/x11/X11Windows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using tavlin::platform::X11Windows;

namespace {

class HostileWindow : public ::testing::Test {
protected:
    void SetUp() override {
        connection_ = xcb_connect(nullptr, &screenNumber_);
        ASSERT_FALSE(xcb_connection_has_error(connection_)) << "no X server at DISPLAY=" << std::getenv("DISPLAY");
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        auto screen = xcb_setup_roots_iterator(setup);
        for (int i = 0; i < screenNumber_; ++i) xcb_screen_next(&screen);
        window_ = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen.data->root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.data->root_visual, 0, nullptr);
        windows_ = std::make_unique<X11Windows>(connection_, screenNumber_);
    }
    void TearDown() override {
        windows_.reset();
        xcb_disconnect(connection_);
    }

    void set(xcb_atom_t property, xcb_atom_t type, std::uint8_t format, const void* data, std::uint32_t count) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, property, type, format, count, data);
        xcb_flush(connection_);
    }
    void setText(xcb_atom_t property, xcb_atom_t type, const std::string& bytes) {
        set(property, type, 8, bytes.data(), std::uint32_t(bytes.size()));
    }
    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, strlen(name), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }

    xcb_connection_t* connection_ = nullptr;
    int screenNumber_ = 0;
    xcb_window_t window_ = XCB_WINDOW_NONE;
    std::unique_ptr<X11Windows> windows_;
};

} // namespace

// The server pads values to four bytes, so a value of a multiple of four without NUL
// ends exactly where the reply does: reading on to a NUL would read past it.
TEST_F(HostileWindow, WmClassIsReadByItsLength) {
    const struct {
        std::string bytes, instance, name;
    } cases[] = {
        {"noterminator", "noterminator", ""},
        {std::string("instance\0cls", 12), "instance", "cls"},
        {std::string("inst\0Class\0\0\0\0\0", 15), "inst", "Class"},
        {std::string("\0\0\0\0", 4), "", ""},
        {std::string("a\0b\0extra-strings", 18), "a", "b"},
    };
    for (const auto& c : cases) {
        setText(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, c.bytes);
        const auto windowClass = windows_->windowClass(window_);
        ASSERT_TRUE(windowClass) << c.bytes;
        EXPECT_EQ(windowClass->instance, c.instance);
        EXPECT_EQ(windowClass->name, c.name);
    }

    // Of another type than STRING, or of 32-bit items, it is no class at all.
    const std::uint32_t numbers[] = {0x41414141, 0x41414141};
    set(XCB_ATOM_WM_CLASS, XCB_ATOM_CARDINAL, 32, numbers, 2);
    EXPECT_FALSE(windows_->windowClass(window_));
    xcb_delete_property(connection_, window_, XCB_ATOM_WM_CLASS);
    EXPECT_FALSE(windows_->windowClass(window_));
}

TEST_F(HostileWindow, ApplicationIdAndIconStayInsideTheirValues) {
    const xcb_atom_t utf8 = atom("UTF8_STRING");
    setText(atom("_GTK_APPLICATION_ID"), utf8, "org.example.Abcd"); // 16 bytes, no NUL
    EXPECT_EQ(windows_->gtkApplicationId(window_), "org.example.Abcd");

    // An icon that claims more pixels than the value holds, then a real one after a
    // zero-sized one.
    const xcb_atom_t netWmIcon = atom("_NET_WM_ICON");
    const std::uint32_t liar[] = {1000, 1000, 0xff00ff00, 0xff00ff00};
    set(netWmIcon, XCB_ATOM_CARDINAL, 32, liar, 4);
    EXPECT_EQ(windows_->icon(window_, 32), nullptr);
    const std::uint32_t small[] = {1, 1, 0x80102030};
    set(netWmIcon, XCB_ATOM_CARDINAL, 32, small, 3);
    const auto icon = windows_->icon(window_, 32);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->width, 1);
    EXPECT_EQ(icon->rgba, (std::vector<std::uint8_t>{0x10, 0x20, 0x30, 0x80}));
}

// A big icon is kept at the size shown, not as the window gives it.
TEST_F(HostileWindow, AnIconIsScaledDownToTheSizeShown) {
    std::vector<std::uint32_t> big{1024, 512};
    big.resize(2 + 1024 * 512, 0xff336699);
    set(atom("_NET_WM_ICON"), XCB_ATOM_CARDINAL, 32, big.data(), std::uint32_t(big.size()));
    const auto icon = windows_->icon(window_, 64);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->width, 64);
    EXPECT_EQ(icon->height, 32);
    ASSERT_EQ(icon->rgba.size(), 64u * 32 * 4);
    EXPECT_EQ(std::vector<std::uint8_t>(icon->rgba.begin(), icon->rgba.begin() + 4),
              (std::vector<std::uint8_t>{0x33, 0x66, 0x99, 0xff}));
}
