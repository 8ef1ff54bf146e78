#pragma once

#include "zoomwheel.h"

#include <QPointer>
#include <QVector>
#include <QWaylandXdgShell>
#include <QWidget>

class PageCompositor;
struct TextInputField;
class QWaylandSurface;
class QWaylandView;


// Paints the helper's page window and hands the user's input to it through
// the compositor's seat. A plain widget: the page arrives as shared-memory
// images, and the window's own widgets (the find bar, the message box's
// dimming) draw over it like over any other child.
class PageView : public QWidget
{
    Q_OBJECT

public:
    PageView(PageCompositor *compositor, QWidget *parent);
    ~PageView() override;

    // The helper's window this view shows, sized to the view.
    void showToplevel(QWaylandXdgToplevel *toplevel, QWaylandXdgSurface *surface);
    bool showsToplevel() const { return _toplevel; }

signals:
    void zoomSteps(int steps);
    // Ctrl+C: the page's own copy goes to a clipboard the window cannot read.
    void copyRequested();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    // A popup of the page (a tooltip, a list of suggestions), painted over
    // it where it asked to be, within the view.
    struct Popup {
        QPointer<QWaylandXdgPopup> popup;
        QWaylandView *view;
        QRect area;
    };

    void showOnOutput(QWaylandView *view);
    void configure();
    void onRedraw();
    void showPopup(QWaylandXdgPopup *popup, QWaylandXdgSurface *surface);
    void forgetPopup(QObject *popup);
    void dismissPopups();
    const Popup *popupAt(const QPointF &position) const;
    void sendPointer(const QPointF &position);
    void useCursorSurface(QWaylandSurface *surface, int hotspotX, int hotspotY);
    void updateCursor();
    void sendKey(QKeyEvent *event, bool pressed);
    const TextInputField *enabledField() const;
    void onFieldChanged(QWaylandSurface *surface);
    QPoint pageOrigin() const;

    PageCompositor *_compositor;
    QWaylandView *_surfaceView;
    QPointer<QWaylandXdgToplevel> _toplevel;
    QPointer<QWaylandXdgSurface> _pageSurface;
    QVector<Popup> _popups;
    // The pointer's image as the page draws it: a hand over links, a bar
    // over text.
    QWaylandView *_cursorView;
    QPoint _cursorHotspot;
    ZoomWheel _wheel;
};
