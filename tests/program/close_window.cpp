// cf-close-window WINDOW_ID: asks an X window to close the way a window manager's close
// button does (a WM_DELETE_WINDOW message), so a program under test quits as a user quits
// it. The test display has no window manager to do it.

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

xcb_atom_t atomNamed(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie
            = xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: cf-close-window WINDOW_ID\n", stderr);
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("cf-close-window: cannot connect to the X display\n", stderr);
        xcb_disconnect(connection);
        return 1;
    }
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atomNamed(connection, "WM_PROTOCOLS");
    message.data.data32[0] = atomNamed(connection, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    const xcb_void_cookie_t sent = xcb_send_event_checked(connection,
                                                          0,
                                                          window,
                                                          XCB_EVENT_MASK_NO_EVENT,
                                                          reinterpret_cast<const char *>(&message));
    std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
            xcb_request_check(connection, sent), &std::free);
    xcb_disconnect(connection);
    if (error || message.type == XCB_ATOM_NONE) {
        std::fprintf(stderr, "cf-close-window: cannot send the close message to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
