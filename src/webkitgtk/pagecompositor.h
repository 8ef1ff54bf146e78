#pragma once

#include <QObject>
#include <QWaylandXdgShell>

#include <memory>

class PageTextInput;
class QMimeData;
class QWaylandCompositor;
class QWaylandOutput;
class QWaylandSeat;
class QWaylandSurface;
class QWaylandXdgShell;


class QWindow;

// A Wayland compositor inside the browser with one client, the page's helper:
// its shell, its seat and its output in one object. The helper's windows are
// what page views paint; nothing here draws with OpenGL, as shared-memory
// buffers are all the helper is asked to send.
class PageCompositor : public QObject
{
    Q_OBJECT

public:
    explicit PageCompositor(QObject *parent = nullptr);
    ~PageCompositor() override;

    // The WAYLAND_DISPLAY the helper connects to.
    QString socketName() const;
    // Takes clients from a socket that listens already, the early helper's;
    // the display owns it from now on.
    void listenOn(int listeningSocket, const QString &path);
    // Where the compositor's sockets go: the user's runtime folder, or a
    // private one where the session has none (root under CI, say).
    static void prepareRuntimeFolder();

    QWaylandCompositor *compositor() const { return _compositor; }
    QWaylandSeat *seat() const;
    // Sends what the seat has queued for the helper now. Qt's compositor
    // sends only when a client talks to it, so a pointer that moves over a
    // page that is drawing nothing would reach it only with the next click.
    void sendQueuedEvents();

    // The output the helper draws for: at a device pixel ratio above one
    // it draws that many pixels per point, so text stays crisp.
    QWaylandOutput *output() const { return _output; }
    void useDevicePixelRatio(qreal ratio);

    // What the browser's input method types into the page's fields.
    PageTextInput *textInput() const { return _textInput.get(); }

signals:
    // A window of the helper arrived: the page first, then developer tools.
    void toplevelCreated(QWaylandXdgToplevel *toplevel, QWaylandXdgSurface *surface);
    // A popup of one of them: a tooltip, say, or a list of suggestions.
    void popupCreated(QWaylandXdgPopup *popup, QWaylandXdgSurface *surface);

private:
    void useLayoutOfDisplay();
    void initializeExtensionsNow();
    void offerClipboard();

    QWaylandCompositor *_compositor;
    QWaylandXdgShell *_shell;
    QWindow *_outputWindow;
    QWaylandOutput *_output = nullptr;
    std::unique_ptr<QMimeData> _clipboardOffer;
    std::unique_ptr<PageTextInput> _textInput;
    QString _adoptedSocketPath;
};
