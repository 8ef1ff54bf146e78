#include "webengineview.h"

#include "pagemenu.h"
#include "webenginecompat_p.h"

#include <QChildEvent>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QWheelEvent>

ZuvoWebEngineView::ZuvoWebEngineView(QWidget *parent)
    : QWebEngineView(parent)
{
}

bool ZuvoWebEngineView::event(QEvent *event)
{
    // The engine's drawing widget arrives as a child once the page shows.
    if (event->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType())
            child->installEventFilter(this);
    }
    return QWebEngineView::event(event);
}

bool ZuvoWebEngineView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier)) {
            _wheel.reset();
            return false;
        }
        if (const int steps = _wheel.steps(wheel->angleDelta().y()))
            emit zoomSteps(steps);
        return true;
    }
    return QWebEngineView::eventFilter(watched, event);
}

void ZuvoWebEngineView::contextMenuEvent(QContextMenuEvent *event)
{
    const webenginecompat::ContextMenuTarget under = webenginecompat::lastContextMenuTarget(this);
    pagemenu::Target target;
    target.link = under.link;
    target.hasSelection = under.hasSelection;
    target.isImage = under.isImage;
    target.canGoBack = canGoBack && canGoBack();

    pagemenu::Actions actions;
    const QUrl link = under.link;
    actions.copyLink = [link] { QGuiApplication::clipboard()->setText(link.toString(QUrl::FullyEncoded)); };
    actions.copy = [this] { triggerPageAction(QWebEnginePage::Copy); };
    actions.copyImage = [this] { triggerPageAction(QWebEnginePage::CopyImageToClipboard); };
    actions.back = goBack;
    actions.inspect = inspect;

    if (QMenu *menu = pagemenu::build(target, actions, this))
        menu->popup(event->globalPos());
}
