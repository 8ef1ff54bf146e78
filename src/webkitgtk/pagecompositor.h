#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWaylandXdgShell>

class QWaylandCompositor;
class QWaylandOutput;
class QWaylandSeat;
class QWaylandSurface;
class QWaylandXdgShell;


class QWindow;

// A Wayland compositor inside the browser with one client, the page's helper:
// its shell, its seat and its output in one object. The helper's window is
// what the page view paints; nothing here draws with OpenGL, as shared-memory
// buffers are all the helper is asked to send.
class PageCompositor : public QObject
{
    Q_OBJECT

public:
    explicit PageCompositor(QObject *parent = nullptr);
    ~PageCompositor() override;

    // The WAYLAND_DISPLAY the helper connects to.
    QString socketName() const;

    QWaylandCompositor *compositor() const { return _compositor; }
    QWaylandSeat *seat() const;
    QWaylandXdgSurface *pageSurface() const { return _pageSurface; }

    // The page window's size in logical pixels; configured now or once the
    // page window exists.
    void setPageSize(const QSize &size);
    void setActive(bool active);
    // The scale the helper draws at, whole numbers only on this protocol.
    void setScale(int scale);

signals:
    // The helper's window arrived or went; null when gone.
    void pageSurfaceChanged(QWaylandXdgSurface *surface);
    // A surface the seat asks to show as the pointer, with its hot spot; null
    // for no pointer.
    void cursorChanged(QWaylandSurface *surface, int hotspotX, int hotspotY);

private:
    void onToplevelCreated(QWaylandXdgToplevel *toplevel, QWaylandXdgSurface *surface);
    void configure();

    QWaylandCompositor *_compositor;
    QWaylandXdgShell *_shell;
    QWindow *_outputWindow;
    QWaylandOutput *_output = nullptr;
    QPointer<QWaylandXdgSurface> _pageSurface;
    QPointer<QWaylandXdgToplevel> _pageToplevel;
    QSize _pageSize{800, 600};
    bool _active = false;
};
