#include "pageview.h"

#include "pagecompositor.h"
#include "pagetextinput.h"
#include "qtcompat_p.h"

#include <algorithm>
#include <utility>

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWaylandBufferRef>
#include <QWaylandOutput>
#include <QWaylandSeat>
#include <QWaylandSurface>
#include <QWaylandView>
#include <QWaylandXdgShell>
#include <QWheelEvent>

PageView::PageView(PageCompositor *compositor, QWidget *parent)
    : QWidget(parent)
    , _compositor(compositor)
    , _surfaceView(new QWaylandView(this, this))
    , _cursorView(new QWaylandView(this, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The desktop's input method only while a field of the page asks for
    // one; otherwise keys go to the helper as the keyboard sends them, and
    // it composes them with the user's layout.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(compositor, &PageCompositor::popupCreated, this, &PageView::showPopup);
    connect(compositor->textInput(), &PageTextInput::fieldChanged, this, &PageView::onFieldChanged);
    connect(compositor->seat(), &QWaylandSeat::cursorSurfaceRequest, this, &PageView::useCursorSurface);
}

PageView::~PageView()
{
    // The compositor, its seat and the helper's surfaces outlive this view:
    // nothing of theirs may reach it while it is taken apart (its surface
    // views going tell the seat, which answers with a new pointer).
    disconnect(_compositor, nullptr, this, nullptr);
    disconnect(_compositor->seat(), nullptr, this, nullptr);
    disconnect(_compositor->textInput(), nullptr, this, nullptr);
    for (QWaylandView *view : {_surfaceView, _cursorView}) {
        if (view->surface())
            disconnect(view->surface(), nullptr, this, nullptr);
    }
    for (const Popup &popup : std::as_const(_popups)) {
        if (popup.view->surface())
            disconnect(popup.view->surface(), nullptr, this, nullptr);
        if (popup.popup)
            disconnect(popup.popup, nullptr, this, nullptr);
    }
}

void PageView::showToplevel(QWaylandXdgToplevel *toplevel, QWaylandXdgSurface *surface)
{
    _toplevel = toplevel;
    _pageSurface = surface;
    QWaylandSurface *waylandSurface = surface->surface();
    _surfaceView->setSurface(waylandSurface);
    showOnOutput(_surfaceView);
    connect(waylandSurface, &QWaylandSurface::redraw, this, &PageView::onRedraw, Qt::UniqueConnection);
    if (hasFocus())
        _compositor->seat()->setKeyboardFocus(waylandSurface);
    configure();
    update();
}

void PageView::showOnOutput(QWaylandView *view)
{
    // A surface learns the output's scale by entering it.
    _compositor->useDevicePixelRatio(devicePixelRatioF());
    _compositor->output()->surfaceEnter(view->surface());
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
    for (const Popup &popup : std::as_const(_popups))
        popup.view->advance();
    update();
}

void PageView::showPopup(QWaylandXdgPopup *popup, QWaylandXdgSurface *surface)
{
    // Only popups of this view's page, or of its popups, are this view's.
    QPoint parentOrigin;
    QWaylandXdgSurface *parent = popup->parentXdgSurface();
    if (parent != _pageSurface) {
        const auto found = std::find_if(_popups.cbegin(), _popups.cend(), [parent](const Popup &shown) {
            return shown.popup && shown.popup->xdgSurface() == parent;
        });
        if (found == _popups.cend())
            return;
        parentOrigin = found->area.topLeft();
    }
    QRect area(parentOrigin + popup->unconstrainedPosition(), popup->positionerSize());
    // Kept within the view: a popup that would run off its foot goes above
    // what it is anchored to, if it may, then anything left over slides in.
    if (area.bottom() >= height() && (popup->flipConstraints() & Qt::Vertical))
        area.moveBottom(parentOrigin.y() + popup->anchorRect().top() - 1);
    area.moveLeft(qBound(0, area.left(), qMax(0, width() - area.width())));
    area.moveTop(qBound(0, area.top(), qMax(0, height() - area.height())));
    popup->sendConfigure(QRect(area.topLeft() - parentOrigin, area.size()));

    auto *view = new QWaylandView(this, this);
    view->setSurface(surface->surface());
    showOnOutput(view);
    connect(surface->surface(), &QWaylandSurface::redraw, this, &PageView::onRedraw);
    connect(popup, &QObject::destroyed, this, &PageView::forgetPopup);
    _popups.append({popup, view, area});
}

void PageView::forgetPopup(QObject *)
{
    for (auto popup = _popups.begin(); popup != _popups.end();) {
        if (popup->popup) {
            ++popup;
            continue;
        }
        delete popup->view;
        popup = _popups.erase(popup);
    }
    update();
}

void PageView::useCursorSurface(QWaylandSurface *surface, int hotspotX, int hotspotY)
{
    // The seat is shared with the developer tools' view: the request is for
    // the view under the pointer.
    const QWaylandView *focus = _compositor->seat()->mouseFocus();
    if (!focus || focus->renderObject() != this)
        return;
    if (_cursorView->surface())
        disconnect(_cursorView->surface(), &QWaylandSurface::redraw, this, &PageView::updateCursor);
    _cursorView->setSurface(surface);
    _cursorHotspot = QPoint(hotspotX, hotspotY);
    if (surface)
        connect(surface, &QWaylandSurface::redraw, this, &PageView::updateCursor);
    updateCursor();
}

void PageView::updateCursor()
{
    QWaylandSurface *surface = _cursorView->surface();
    if (!surface) {
        setCursor(Qt::BlankCursor);
        return;
    }
    _cursorView->advance();
    const QWaylandBufferRef buffer = _cursorView->currentBuffer();
    if (!buffer.hasBuffer() || !buffer.isSharedMemory())
        return;
    QImage image = buffer.image();
    image.setDevicePixelRatio(surface->bufferScale());
    setCursor(QCursor(QPixmap::fromImage(image), _cursorHotspot.x(), _cursorHotspot.y()));
    surface->frameStarted();
    surface->sendFrameCallbacks();
}

void PageView::dismissPopups()
{
    for (auto popup = _popups.crbegin(); popup != _popups.crend(); ++popup) {
        if (popup->popup)
            popup->popup->sendPopupDone();
    }
}

const PageView::Popup *PageView::popupAt(const QPointF &position) const
{
    for (auto popup = _popups.crbegin(); popup != _popups.crend(); ++popup) {
        if (popup->popup && popup->area.contains(position.toPoint()))
            return &*popup;
    }
    return nullptr;
}

QPoint PageView::pageOrigin() const
{
    // Where the helper's window geometry starts within its buffer.
    return _pageSurface ? _pageSurface->windowGeometry().topLeft() : QPoint();
}

namespace {

void paintSurface(QPainter &painter, QWaylandView *view, const QPoint &origin)
{
    QWaylandSurface *surface = view->surface();
    const QWaylandBufferRef buffer = view->currentBuffer();
    if (buffer.hasBuffer() && buffer.isSharedMemory()) {
        QImage image = buffer.image();
        image.setDevicePixelRatio(surface ? surface->bufferScale() : 1);
        painter.drawImage(origin, image);
    }
    if (surface) {
        // The helper draws its next frame once this one is on the screen.
        surface->frameStarted();
        surface->sendFrameCallbacks();
    }
}

} // namespace

void PageView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintSurface(painter, _surfaceView, -pageOrigin());
    for (const Popup &popup : std::as_const(_popups)) {
        if (popup.popup)
            paintSurface(painter, popup.view, popup.area.topLeft() - popup.popup->xdgSurface()->windowGeometry().topLeft());
    }
}

bool PageView::event(QEvent *event)
{
    // Whatever the user did reaches the page now, not with the page's next
    // frame.
    const bool handled = QWidget::event(event);
    _compositor->sendQueuedEvents();
    return handled;
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    configure();
}

void PageView::sendPointer(const QPointF &position)
{
    if (const Popup *popup = popupAt(position)) {
        const QPoint popupOrigin = popup->popup->xdgSurface()->windowGeometry().topLeft();
        _compositor->seat()->sendMouseMoveEvent(popup->view, position - popup->area.topLeft() + popupOrigin, position);
        return;
    }
    if (_surfaceView->surface())
        _compositor->seat()->sendMouseMoveEvent(_surfaceView, position + pageOrigin(), position);
}

void PageView::mouseMoveEvent(QMouseEvent *event)
{
    sendPointer(qtcompat::position(event));
}

void PageView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    // A press beside the page's popups closes them, and still reaches the page.
    if (!_popups.isEmpty() && !popupAt(qtcompat::position(event)))
        dismissPopups();
    sendPointer(qtcompat::position(event));
    _compositor->seat()->sendMousePressEvent(event->button());
}

void PageView::mouseReleaseEvent(QMouseEvent *event)
{
    sendPointer(qtcompat::position(event));
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

const TextInputField *PageView::enabledField() const
{
    return _compositor->textInput()->enabledField(_surfaceView->surface());
}

void PageView::onFieldChanged(QWaylandSurface *surface)
{
    if (surface != _surfaceView->surface())
        return;
    setAttribute(Qt::WA_InputMethodEnabled, enabledField() != nullptr);
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints | Qt::ImQueryInput);
}

QVariant PageView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const TextInputField *field = enabledField();
    if (query == Qt::ImEnabled)
        return field != nullptr;
    if (!field)
        return QWidget::inputMethodQuery(query);
    switch (query) {
    case Qt::ImCursorRectangle:
        // Surface coordinates are the view's own points: the buffer's scale
        // is the painter's business, not the rectangle's.
        if (field->cursorRectangle)
            return field->cursorRectangle->translated(-pageOrigin());
        break;
    case Qt::ImSurroundingText:
        return field->text();
    case Qt::ImCursorPosition:
        return field->cursorPosition();
    case Qt::ImAnchorPosition:
        return field->anchorPosition();
    case Qt::ImHints:
        return int(field->hints());
    default:
        break;
    }
    return QWidget::inputMethodQuery(query);
}

void PageView::inputMethodEvent(QInputMethodEvent *event)
{
    const TextInputField *field = enabledField();
    if (!field) {
        event->ignore();
        return;
    }
    _compositor->textInput()->send(_surfaceView->surface(), textInputEdit(*event, *field));
    event->accept();
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
