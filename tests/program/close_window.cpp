// cf-close-window WINDOW_ID: asks an X window to close the way a window manager's close
// button does (a WM_DELETE_WINDOW message), so a program under test quits as a user quits
// it. The test display has no window manager to do it.

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static xcb_atom_t atomNamed(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: cf-close-window WINDOW_ID\n", stderr);
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = std::strtoul(argv[1], nullptr, 0);
    message.type = atomNamed(connection, "WM_PROTOCOLS");
    message.data.data32[0] = atomNamed(connection, "WM_DELETE_WINDOW");
    const auto *event = reinterpret_cast<const char *>(&message);
    const xcb_void_cookie_t sent
            = xcb_send_event_checked(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT, event);
    xcb_generic_error_t *error = xcb_request_check(connection, sent);
    const bool failed
            = xcb_connection_has_error(connection) || error || message.type == XCB_ATOM_NONE;
    std::free(error);
    xcb_disconnect(connection);
    if (failed)
        std::fprintf(stderr, "cf-close-window: cannot send the close message to %s\n", argv[1]);
    return failed ? 1 : 0;
}
