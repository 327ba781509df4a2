#include "platform/linux/x11/X11Windows.h"

#include "platform/linux/common/X11Display.h"
#include "platform/linux/common/XcbReply.h"

#include <QImage>
#include <QLoggingCategory>

#include <algorithm>
#include <string_view>

Q_LOGGING_CATEGORY(lcWindows, "tavlin.windows")

namespace tavlin::platform {

X11Windows::X11Windows(xcb_connection_t* connection, int screen) : connection_(connection), screen_(screen) {
    if (!connection_) return;
    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection_, &ewmh_);
    ready_ = cookies && xcb_ewmh_init_atoms_replies(&ewmh_, cookies, nullptr);
    if (!ready_) qCWarning(lcWindows) << "the window manager's atoms (EWMH) can't be read: the application in front is unknown";
    gtkApplicationId_ = X11Display::atom(connection_, "_GTK_APPLICATION_ID");
}

X11Windows::~X11Windows() {
    if (ready_) xcb_ewmh_connection_wipe(&ewmh_);
}

xcb_window_t X11Windows::root() const {
    return ready_ && screen_ < ewmh_.nb_screens ? ewmh_.screens[screen_]->root : xcb_window_t(XCB_WINDOW_NONE);
}

void X11Windows::watchRootProperties() {
    const xcb_window_t rootWindow = root();
    if (rootWindow == XCB_WINDOW_NONE) return;
    XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, rootWindow), nullptr));
    const std::uint32_t mask = (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_, rootWindow, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
}

bool X11Windows::isActiveWindowChange(const xcb_property_notify_event_t& event) const {
    return ready_ && event.window == root() && event.atom == ewmh_._NET_ACTIVE_WINDOW;
}

std::optional<xcb_window_t> X11Windows::activeWindow() {
    if (!ready_) return std::nullopt;
    xcb_window_t window = XCB_WINDOW_NONE;
    if (!xcb_ewmh_get_active_window_reply(&ewmh_, xcb_ewmh_get_active_window(&ewmh_, screen_), &window, nullptr) ||
        window == XCB_WINDOW_NONE)
        return std::nullopt;
    return window;
}

std::vector<xcb_window_t> X11Windows::clientsTopmostFirst() {
    std::vector<xcb_window_t> windows;
    if (!ready_) return windows;
    xcb_ewmh_get_windows_reply_t list;
    if (xcb_ewmh_get_client_list_stacking_reply(&ewmh_, xcb_ewmh_get_client_list_stacking(&ewmh_, screen_), &list,
                                                nullptr)) {
        windows.assign(list.windows, list.windows + list.windows_len);
        xcb_ewmh_get_windows_reply_wipe(&list);
        std::reverse(windows.begin(), windows.end()); // the stacking list runs bottom to top
    } else if (xcb_ewmh_get_client_list_reply(&ewmh_, xcb_ewmh_get_client_list(&ewmh_, screen_), &list, nullptr)) {
        windows.assign(list.windows, list.windows + list.windows_len);
        xcb_ewmh_get_windows_reply_wipe(&list);
    }
    return windows;
}

std::optional<std::int32_t> X11Windows::pid(xcb_window_t window) {
    std::uint32_t pid = 0;
    if (!ready_ || !xcb_ewmh_get_wm_pid_reply(&ewmh_, xcb_ewmh_get_wm_pid(&ewmh_, window), &pid, nullptr) ||
        pid == 0 || pid > 0x7fffffffu)
        return std::nullopt;
    return static_cast<std::int32_t>(pid);
}

std::optional<X11Windows::WindowClass> X11Windows::windowClass(xcb_window_t window) {
    if (!connection_) return std::nullopt;
    // Any client may set WM_CLASS to anything: the value is read by its length, as two
    // NUL-separated strings where a missing NUL ends a string at the value's end.
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr));
    if (!reply || reply->type != XCB_ATOM_STRING || reply->format != 8) return std::nullopt;
    const std::string_view value(static_cast<const char*>(xcb_get_property_value(reply.get())),
                                 std::size_t(std::max(0, xcb_get_property_value_length(reply.get()))));
    const std::size_t end = value.find('\0');
    WindowClass result{std::string(value.substr(0, end)), {}};
    if (end != std::string_view::npos) {
        const std::string_view rest = value.substr(end + 1);
        result.name = std::string(rest.substr(0, rest.find('\0')));
    }
    return result;
}

std::optional<std::string> X11Windows::gtkApplicationId(xcb_window_t window) {
    if (!ready_ || gtkApplicationId_ == XCB_ATOM_NONE) return std::nullopt;
    xcb_ewmh_get_utf8_strings_reply_t reply;
    auto cookie = xcb_get_property(connection_, 0, window, gtkApplicationId_, ewmh_.UTF8_STRING, 0, 1024);
    if (!xcb_ewmh_get_utf8_strings_reply(&ewmh_, cookie, &reply, nullptr)) return std::nullopt;
    std::string id(reply.strings, reply.strings_len);
    xcb_ewmh_get_utf8_strings_reply_wipe(&reply);
    if (auto end = id.find('\0'); end != std::string::npos) id.resize(end);
    if (id.empty()) return std::nullopt;
    return id;
}

std::shared_ptr<const Image> X11Windows::icon(xcb_window_t window, std::uint32_t size) {
    if (!ready_) return nullptr;
    xcb_ewmh_get_wm_icon_reply_t reply;
    if (!xcb_ewmh_get_wm_icon_reply(&ewmh_, xcb_ewmh_get_wm_icon(&ewmh_, window), &reply, nullptr)) return nullptr;
    // Prefer the smallest icon at least `size` wide, else the largest one.
    xcb_ewmh_wm_icon_iterator_t best{};
    for (auto it = xcb_ewmh_get_wm_icon_iterator(&reply); it.rem; xcb_ewmh_get_wm_icon_next(&it)) {
        if (it.width == 0 || it.height == 0 || it.width > 1024 || it.height > 1024) continue;
        const bool bestBigEnough = best.width >= size;
        const bool better = !best.data || (it.width >= size ? (!bestBigEnough || it.width < best.width)
                                                            : (!bestBigEnough && it.width > best.width));
        if (better) best = it;
    }
    std::shared_ptr<const Image> image;
    if (best.data) {
        // _NET_WM_ICON's pixels are 32-bit ARGB values, as QImage's ARGB32; a bigger icon
        // is scaled down to the size asked for.
        QImage pixels(reinterpret_cast<const uchar*>(best.data), int(best.width), int(best.height),
                      qsizetype(best.width) * 4, QImage::Format_ARGB32);
        if (best.width > size || best.height > size)
            pixels = pixels.scaled(int(size), int(size), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        pixels = pixels.convertToFormat(QImage::Format_RGBA8888);
        auto result = std::make_shared<Image>();
        result->width = pixels.width();
        result->height = pixels.height();
        result->rgba.reserve(std::size_t(pixels.width()) * pixels.height() * 4);
        for (int y = 0; y < pixels.height(); ++y) {
            const uchar* line = pixels.constScanLine(y);
            result->rgba.insert(result->rgba.end(), line, line + std::size_t(pixels.width()) * 4);
        }
        image = std::move(result);
    }
    xcb_ewmh_get_wm_icon_reply_wipe(&reply);
    return image;
}

void X11Windows::requestActivation(xcb_window_t window) {
    if (!ready_) return;
    xcb_ewmh_request_change_active_window(&ewmh_, screen_, window, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                          XCB_CURRENT_TIME, XCB_WINDOW_NONE);
    xcb_flush(connection_);
}

} // namespace tavlin::platform
