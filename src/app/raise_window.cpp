#include "app/raise_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t atomNamed(xcb_connection_t *x, const char *name)
{
    xcb_intern_atom_reply_t *reply
            = xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

void sendToRoot(xcb_connection_t *x, const xcb_client_message_event_t &message, uint32_t mask)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    xcb_send_event(x, 0, root, mask, reinterpret_cast<const char *>(&message));
}

// The X server's time of the click that started the later start: "..._TIME<time>".
xcb_timestamp_t startTime(const QByteArray &startupId)
{
    const qsizetype at = startupId.lastIndexOf("_TIME");
    bool valid = false;
    const uint time = at < 0 ? 0 : startupId.mid(at + 5).toUInt(&valid);
    return valid ? time : xcb_timestamp_t(XCB_CURRENT_TIME);
}

// Asks the window manager to activate the window as the user's own doing at that time.
void activate(xcb_connection_t *x, xcb_window_t window, xcb_timestamp_t time)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atomNamed(x, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 1; // asked by an application
    message.data.data32[1] = time;
    sendToRoot(
            x, message, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT);
}

// Ends the start's startup notification, as its own window would have on showing.
void endStartup(xcb_connection_t *x, const QByteArray &startupId)
{
    QByteArray text("remove: ID=");
    for (const char c : startupId) {
        if (c == ' ' || c == '"' || c == '\\')
            text.append('\\');
        text.append(c);
    }
    text.append('\0');
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 8;
    message.window = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const xcb_atom_t first = atomNamed(x, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atomNamed(x, "_NET_STARTUP_INFO");
    constexpr qsizetype piece = sizeof(message.data.data8);
    for (qsizetype sent = 0; sent < text.size(); sent += piece) {
        message.type = sent == 0 ? first : more;
        std::memset(message.data.data8, 0, piece);
        std::memcpy(
                message.data.data8, text.constData() + sent, std::min(piece, text.size() - sent));
        sendToRoot(x, message, XCB_EVENT_MASK_PROPERTY_CHANGE);
    }
}

// True when the window manager was asked on X11 with the start's own time.
bool activateOnX11(QWidget &target, const QByteArray &startupId)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || startupId.isEmpty())
        return false;
    xcb_connection_t *x = x11->connection();
    const xcb_timestamp_t time = startTime(startupId);
    if (time != XCB_CURRENT_TIME)
        activate(x, xcb_window_t(target.winId()), time);
    endStartup(x, startupId);
    xcb_flush(x);
    return time != XCB_CURRENT_TIME;
}

} // namespace

void raiseWindow(QWidget &window, const QVariantMap &activation)
{
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    QWidget *modal = QApplication::activeModalWidget();
    QWidget &target = modal ? *modal : window;
    target.raise();
    const QByteArray startupId
            = activation.value(QStringLiteral("desktop-startup-id")).toByteArray();
    if (activateOnX11(target, startupId))
        return;
    const QByteArray token = activation.value(QStringLiteral("activation-token")).toByteArray();
    if (!token.isEmpty() && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        qputenv("XDG_ACTIVATION_TOKEN", token); // Qt activates with it, and forgets it
    target.activateWindow();
}
