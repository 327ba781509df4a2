#pragma once

#include <QAbstractNativeEventFilter>
#include <xcb/xcb.h>

#include <cstdint>
#include <functional>
#include <memory>

namespace tavlin::platform {

// A global key-down monitor from XInput 2 raw key events on the root window: it sees
// every key press on the display, whichever window has the focus, without grabbing
// anything. The handler gets the key's virtual key code (platform/Keys.h) for the keys
// the notation knows, and unnamedKeyBase + the X keycode for the rest (never a virtual
// key code).
class XInputKeyMonitor final : private QAbstractNativeEventFilter {
public:
    using Handler = std::function<void(std::uint16_t keyCode)>;

    // Null when the server lacks XInput 2.
    static std::unique_ptr<XInputKeyMonitor> make(xcb_connection_t* connection, xcb_window_t root, Handler handler);
    ~XInputKeyMonitor() override;
    XInputKeyMonitor(const XInputKeyMonitor&) = delete;
    XInputKeyMonitor& operator=(const XInputKeyMonitor&) = delete;

    static constexpr std::uint16_t unnamedKeyBase = 256; // above every virtual key code

    // The virtual key code of an X keysym, or unnamedKeyBase + the keycode when it has none.
    static std::uint16_t virtualKeyCode(std::uint32_t keysym, std::uint8_t keycode);

private:
    XInputKeyMonitor(xcb_connection_t* connection, xcb_window_t root, std::uint8_t opcode, Handler handler);
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void select(bool on);

    xcb_connection_t* connection_;
    xcb_window_t root_;
    std::uint8_t opcode_;
    Handler handler_;
    struct Symbols;
    std::unique_ptr<Symbols> symbols_;
};

} // namespace tavlin::platform
