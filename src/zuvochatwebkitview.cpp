#include "zuvochatwebkitview.h"

#include "zuvolog.h"

#include <QContextMenuEvent>
#include <QDebug>
#include <QMenu>
#include <QWebHistory>
#include <QWheelEvent>

#include <algorithm>
#include <iterator>

namespace {
const int maxSavedAddresses = 30;
const int zoomSteps[] = {25, 33, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400, 500};
// One notch of an ordinary wheel; touchpads send fractions of it.
const int wheelNotch = 120;
}

ZuvoChatWebKitView::ZuvoChatWebKitView(QWidget *parent)
    : QWebView(parent)
{
    // Whether a page arrived is what an integrator cannot see from the host's
    // side. The query is left out: it may carry credentials.
    connect(this, &QWebView::loadFinished, this, [this](bool ok) {
        qCDebug(zuvoWeb) << "ZuvoChatWebKitView::loadFinished" << ok
                         << url().toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo | QUrl::RemoveFragment);
    });
}

ZuvoChatWebKitView::~ZuvoChatWebKitView()
{
    _history.clear();
}

void ZuvoChatWebKitView::load(const QUrl &url)
{
    qCDebug(zuvoWeb) << "ZuvoChatWebKitView::load 1";
    _history.clear();
    QWebView::load(url);
}

void ZuvoChatWebKitView::load(const QNetworkRequest &request,
                              QNetworkAccessManager::Operation operation, const QByteArray &body)
{
    qCDebug(zuvoWeb) << "ZuvoChatWebKitView::load 2";
    _history.clear();
    QWebView::load(request, operation, body);
}

void ZuvoChatWebKitView::setUrl(const QUrl &url)
{
    _history.clear();
    QWebView::setUrl(url);
}

void ZuvoChatWebKitView::setHtml(const QString &html, const QUrl &baseUrl)
{
    qCDebug(zuvoWeb) << "ZuvoChatWebKitView::setHtml";
    _history.clear();
    QWebView::setHtml(html, baseUrl);
}

void ZuvoChatWebKitView::setContent(const QByteArray &data, const QString &mimeType,
                                    const QUrl &baseUrl)
{
    qCDebug(zuvoWeb) << "ZuvoChatWebKitView::setContent";
    _history.clear();
    QWebView::setContent(data, mimeType, baseUrl);
}

void ZuvoChatWebKitView::setPage(QWebPage *page)
{
    qCDebug(zuvoWeb) << "ZuvoChatWebKitView::setPage";
    _history.clear();
    QWebView::setPage(page);
}

void ZuvoChatWebKitView::storeHistory()
{
    const QWebHistory *webHistory = history();
    if (!webHistory || webHistory->currentItemIndex() < 0)
        return;
    for (int index = webHistory->currentItemIndex(); index >= 0; --index) {
        _history.enqueue(webHistory->itemAt(index).url());
        if (_history.size() > maxSavedAddresses)
            _history.dequeue();
    }
}

void ZuvoChatWebKitView::onClickBack()
{
    if (history() && history()->canGoBack()) {
        history()->back();
        return;
    }
    if (_history.isEmpty())
        return;
    setUrl(_history.dequeue());
}

bool ZuvoChatWebKitView::canGoBack() const
{
    return (history() && history()->canGoBack()) || !_history.isEmpty();
}

void ZuvoChatWebKitView::contextMenuEvent(QContextMenuEvent *event)
{
    // The page's own menu (reload, copy link, inspect ...) is never offered.
    if (!canGoBack())
        return;
    auto *menu = new QMenu;
    QAction *back = menu->addAction(QStringLiteral("back"));
    connect(back, &QAction::triggered, this, &ZuvoChatWebKitView::onClickBack);
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->popup(event->globalPos());
}

QWebView *ZuvoChatWebKitView::createWindow(QWebPage::WebWindowType type)
{
    if (type == QWebPage::WebBrowserWindow) {
        storeHistory();
        return this;
    }
    return QWebView::createWindow(type);
}

int ZuvoChatWebKitView::zoomStep(int percent, int direction)
{
    if (direction > 0) {
        const int *above = std::upper_bound(std::begin(zoomSteps), std::end(zoomSteps), percent);
        return above == std::end(zoomSteps) ? percent : *above;
    }
    const int *atOrAbove = std::lower_bound(std::begin(zoomSteps), std::end(zoomSteps), percent);
    return atOrAbove == std::begin(zoomSteps) ? percent : *(atOrAbove - 1);
}

void ZuvoChatWebKitView::zoomIn()
{
    setZoomPercent(zoomStep(_zoomPercent, 1));
}

void ZuvoChatWebKitView::zoomOut()
{
    setZoomPercent(zoomStep(_zoomPercent, -1));
}

void ZuvoChatWebKitView::resetZoom()
{
    setZoomPercent(100);
}

void ZuvoChatWebKitView::setZoomPercent(int percent)
{
    if (percent == _zoomPercent)
        return;
    _zoomPercent = percent;
    setZoomFactor(percent / 100.0);
    emit zoomChanged(percent);
}

void ZuvoChatWebKitView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        _zoomWheelDelta = 0;
        QWebView::wheelEvent(event);
        return;
    }
    event->accept();
    const int delta = event->angleDelta().y();
    if ((delta > 0) != (_zoomWheelDelta > 0))
        _zoomWheelDelta = 0;
    _zoomWheelDelta += delta;
    for (; _zoomWheelDelta >= wheelNotch; _zoomWheelDelta -= wheelNotch)
        zoomIn();
    for (; _zoomWheelDelta <= -wheelNotch; _zoomWheelDelta += wheelNotch)
        zoomOut();
}
