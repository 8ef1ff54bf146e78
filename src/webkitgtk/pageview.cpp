#include "pageview.h"

#include "pagecompositor.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWaylandBufferRef>
#include <QWaylandSeat>
#include <QWaylandSurface>
#include <QWaylandView>
#include <QWaylandXdgShell>
#include <QWheelEvent>

PageView::PageView(PageCompositor *compositor, QWidget *parent)
    : QWidget(parent)
    , _compositor(compositor)
    , _surfaceView(new QWaylandView(this, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Keys go to the helper as the keyboard sends them, dead keys included,
    // and it composes them with the user's layout; an input method of this
    // side would swallow them.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

PageView::~PageView() = default;

void PageView::showToplevel(QWaylandXdgToplevel *toplevel, QWaylandXdgSurface *surface)
{
    _toplevel = toplevel;
    _pageSurface = surface;
    QWaylandSurface *waylandSurface = surface->surface();
    _surfaceView->setSurface(waylandSurface);
    connect(waylandSurface, &QWaylandSurface::redraw, this, &PageView::onRedraw, Qt::UniqueConnection);
    if (hasFocus())
        _compositor->seat()->setKeyboardFocus(waylandSurface);
    configure();
    update();
}

void PageView::configure()
{
    if (!_toplevel)
        return;
    // Maximized: the helper draws neither shadows nor rounded corners.
    QVector<QWaylandXdgToplevel::State> states{QWaylandXdgToplevel::MaximizedState};
    if (hasFocus())
        states.append(QWaylandXdgToplevel::ActivatedState);
    _toplevel->sendConfigure(size(), states);
}

void PageView::onRedraw()
{
    _surfaceView->advance();
    update();
}

QPoint PageView::pageOrigin() const
{
    // Where the helper's window geometry starts within its buffer.
    return _pageSurface ? _pageSurface->windowGeometry().topLeft() : QPoint();
}

void PageView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QWaylandSurface *surface = _surfaceView->surface();
    const QWaylandBufferRef buffer = _surfaceView->currentBuffer();
    if (buffer.hasBuffer() && buffer.isSharedMemory()) {
        QImage image = buffer.image();
        image.setDevicePixelRatio(surface ? surface->bufferScale() : 1);
        painter.fillRect(rect(), Qt::white);
        painter.drawImage(-pageOrigin(), image);
    } else {
        painter.fillRect(rect(), Qt::white);
    }
    if (surface) {
        // The helper draws its next frame once this one is on the screen.
        surface->frameStarted();
        surface->sendFrameCallbacks();
    }
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    configure();
}

void PageView::sendPointer(const QPointF &position)
{
    if (_surfaceView->surface())
        _compositor->seat()->sendMouseMoveEvent(_surfaceView, position + pageOrigin(), position);
}

void PageView::mouseMoveEvent(QMouseEvent *event)
{
    sendPointer(event->localPos());
}

void PageView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    sendPointer(event->localPos());
    _compositor->seat()->sendMousePressEvent(event->button());
}

void PageView::mouseReleaseEvent(QMouseEvent *event)
{
    sendPointer(event->localPos());
    _compositor->seat()->sendMouseReleaseEvent(event->button());
}

void PageView::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        if (const int steps = _wheel.steps(event->angleDelta().y()))
            emit zoomSteps(steps);
        return;
    }
    _wheel.reset();
    sendPointer(event->position());
    if (event->angleDelta().y())
        _compositor->seat()->sendMouseWheelEvent(Qt::Vertical, event->angleDelta().y());
    if (event->angleDelta().x())
        _compositor->seat()->sendMouseWheelEvent(Qt::Horizontal, event->angleDelta().x());
}

void PageView::leaveEvent(QEvent *event)
{
    _compositor->seat()->setMouseFocus(nullptr);
    QWidget::leaveEvent(event);
}

void PageView::sendKey(QKeyEvent *event, bool pressed)
{
    if (!_surfaceView->surface())
        return;
    QWaylandSeat *seat = _compositor->seat();
    seat->setKeyboardFocus(_surfaceView->surface());
    // The X server's key codes are the keymap's; synthesized events have none.
    if (event->nativeScanCode())
        seat->sendFullKeyEvent(event);
    else
        seat->sendKeyEvent(event->key(), pressed);
}

void PageView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy))
        emit copyRequested();
    sendKey(event, true);
}

void PageView::keyReleaseEvent(QKeyEvent *event)
{
    sendKey(event, false);
}

bool PageView::focusNextPrevChild(bool)
{
    // Tab moves between the page's own fields.
    return false;
}

void PageView::focusInEvent(QFocusEvent *event)
{
    configure();
    if (_surfaceView->surface())
        _compositor->seat()->setKeyboardFocus(_surfaceView->surface());
    QWidget::focusInEvent(event);
}

void PageView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    configure();
}
