// A heartbeat for the end-to-end checks: pings an X11 client's window with
// _NET_WM_PING, one ping at a time, and reports how long the client took to answer.
// A Qt program answers from its main thread, so a slow answer is a main thread that
// was busy or waiting.
//
//   x11-ping WINDOW SECONDS    pings for SECONDS; prints "pings N unanswered U max-ms M"
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return value;
}

// Waits until the answer to ping `serial` arrives on the root window, or `until`.
bool awaitAnswer(xcb_connection_t* connection, xcb_atom_t ping, std::uint32_t serial, Clock::time_point until) {
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            bool answered = false;
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                answered = message->data.data32[0] == ping && message->data.data32[1] == serial;
            }
            std::free(event);
            if (answered) return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0 || xcb_connection_has_error(connection)) return false;
        poll(&descriptor, 1, static_cast<int>(left));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: x11-ping WINDOW SECONDS\n");
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(std::atof(argv[2])));
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "x11-ping: no display\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    // Clients answer by sending the message back to the root window, for those who
    // listen to its structure (Qt) or its substructure (GTK).
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = atom(connection, "_NET_WM_PING");

    int pings = 0, unanswered = 0;
    double worst = 0;
    for (std::uint32_t serial = 1; Clock::now() < end; ++serial) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = protocols;
        message.data.data32[0] = ping;
        message.data.data32[1] = serial; // the timestamp field: our serial number
        message.data.data32[2] = window;
        const auto sent = Clock::now();
        xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
        xcb_flush(connection);
        ++pings;
        // An answer later than the end (plus five seconds' grace) counts as none.
        if (!awaitAnswer(connection, ping, serial, end + std::chrono::seconds(5))) {
            ++unanswered;
            break;
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - sent).count();
        if (ms > worst) worst = ms;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::printf("pings %d unanswered %d max-ms %.0f\n", pings, unanswered, worst);
    xcb_disconnect(connection);
    return 0;
}
