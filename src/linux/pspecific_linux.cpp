#include "pspecific_linux.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcessEnvironment>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

// A connection of the browser's own to the toolkit's X server: the
// toolkit's is not public, and window ids are the same on every connection.
xcb_connection_t *x11Connection()
{
    static xcb_connection_t *const connection = []() -> xcb_connection_t * {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return nullptr;
        xcb_connection_t *opened = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(opened)) {
            xcb_disconnect(opened);
            return nullptr;
        }
        return opened;
    }();
    return connection;
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

xcb_atom_t frameExtentsAtom(xcb_connection_t *connection)
{
    static const xcb_atom_t atom = internAtom(connection, "_NET_FRAME_EXTENTS");
    return atom;
}

// The extents the window manager published on the window, if it did.
bool publishedFrameExtents(xcb_connection_t *connection, xcb_window_t window, QMargins *extents)
{
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, frameExtentsAtom(connection), XCB_ATOM_CARDINAL, 0, 4);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    bool found = false;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4 * 4) {
        // The property's order is left, right, top, bottom.
        const auto *values = static_cast<const quint32 *>(xcb_get_property_value(reply));
        *extents = QMargins(int(values[0]), int(values[2]), int(values[1]), int(values[3]));
        found = true;
    }
    std::free(reply);
    return found;
}

// Whether the desktop's resources on the root window name an Xft.dpi.
bool publishesXftDpi(xcb_connection_t *connection, xcb_window_t root)
{
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 20);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    bool found = false;
    if (reply && reply->format == 8) {
        const QByteArray resources(static_cast<const char *>(xcb_get_property_value(reply)),
                                   xcb_get_property_value_length(reply));
        for (const QByteArray &line : resources.split('\n')) {
            if (line.startsWith("Xft.dpi:") && line.mid(8).trimmed().toInt() > 0)
                found = true;
        }
    }
    std::free(reply);
    return found;
}

xcb_window_t nativeWindow(const QWidget *window)
{
    return window->internalWinId() ? xcb_window_t(window->internalWinId()) : xcb_window_t(XCB_WINDOW_NONE);
}

} // namespace

QString psServerPrefix()
{
    // A leading slash makes QLocalSocket take the name as a file-system path.
    return QStringLiteral("/tmp/");
}

const char *cGUIDStr()
{
    static const char *gGuidStr = "{87A94AB0-E370-4cde-98D3-ACC110C5967D}";
    return gGuidStr;
}

void activateProgram(quint64)
{
}

double psLogicalDpi(const QScreen *screen)
{
    const double reported = screen->logicalDotsPerInch();
    xcb_connection_t *connection = x11Connection();
    if (!connection || qEnvironmentVariableIsSet("QT_FONT_DPI"))
        return reported;
    char *host = nullptr;
    int display = 0;
    int screenNumber = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &screenNumber))
        screenNumber = 0;
    std::free(host);
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; roots.rem > 1 && screenNumber > 0; --screenNumber)
        xcb_screen_next(&roots);
    const xcb_screen_t *x = roots.data;
    if (!x || !x->width_in_millimeters || !x->height_in_millimeters || publishesXftDpi(connection, x->root))
        return reported;
    // The mean of both directions, as QScreen gives it.
    return (25.4 * x->width_in_pixels / x->width_in_millimeters +
            25.4 * x->height_in_pixels / x->height_in_millimeters) / 2;
}

QString psSessionBusAddress(const QProcessEnvironment &environment)
{
    const QString given = environment.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    if (!given.isEmpty())
        return given;
    // Where a user's service manager keeps the session bus, which clients
    // find by themselves.
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    const QString socket = runtime + QStringLiteral("/bus");
    if (!runtime.isEmpty() && QFileInfo::exists(socket))
        return QStringLiteral("unix:path=") + socket;
    return QStringLiteral("disabled:");
}

bool psWindowPlacesItself()
{
    // The toolkit offers no public capability for this; its Wayland plugins
    // are all named so ("wayland", "wayland-egl", ...).
    static const bool placesItself = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return placesItself;
}

QRect psFrameGeometry(const QWidget *window)
{
    xcb_connection_t *connection = x11Connection();
    const xcb_window_t native = nativeWindow(window);
    QMargins extents;
    if (connection && native != XCB_WINDOW_NONE && publishedFrameExtents(connection, native, &extents))
        return window->geometry().marginsAdded(extents);

    // No published frame: the toolkit's, unless it is plainly one it read
    // too early (seen: 1 x 1).
    const QRect frame = window->frameGeometry();
    if (frame.width() < window->width() || frame.height() < window->height())
        return QRect();
    return frame;
}

QMargins psExpectedFrameMargins(const QWidget *window, int timeoutMs)
{
    xcb_connection_t *connection = x11Connection();
    const xcb_window_t native = nativeWindow(window);
    if (!connection || native == XCB_WINDOW_NONE)
        return QMargins();

    // The window manager answers by publishing the extents on the window.
    xcb_client_message_event_t request;
    std::memset(&request, 0, sizeof request);
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = native;
    request.type = internAtom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, native), nullptr);
    if (!geometry)
        return QMargins();
    const xcb_window_t root = geometry->root;
    std::free(geometry);
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&request));
    xcb_flush(connection);

    QMargins extents;
    const QDeadlineTimer deadline(timeoutMs);
    while (!publishedFrameExtents(connection, native, &extents)) {
        if (deadline.hasExpired())
            return QMargins();
        QThread::msleep(5);
    }
    return extents;
}
