#include "zuvochatwebkitview.h"

#include "pagemenu.h"
#include "webcontent.h"
#include "zuvolog.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDebug>
#include <QGuiApplication>
#include <QMenu>
#include <QWebFrame>
#include <QWebHistory>
#include <QWheelEvent>

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
    QList<QUrl> currentBackToFirst;
    for (int index = webHistory->currentItemIndex(); index >= 0; --index)
        currentBackToFirst.append(webHistory->itemAt(index).url());
    WebContent::saveAddresses(_history, currentBackToFirst);
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
    // The page's own menu (reload, open in new window ...) is never offered.
    const QWebHitTestResult hit = page()->mainFrame()->hitTestContent(event->pos());
    pagemenu::Target target;
    target.link = hit.linkUrl();
    target.hasSelection = hit.isContentSelected() && page()->hasSelection();
    target.isImage = !hit.imageUrl().isEmpty() || !hit.pixmap().isNull();
    target.canGoBack = canGoBack();

    pagemenu::Actions actions;
    const QUrl link = hit.linkUrl();
    actions.copyLink = [link] { QGuiApplication::clipboard()->setText(link.toString(QUrl::FullyEncoded)); };
    actions.copy = [this] { triggerPageAction(QWebPage::Copy); };
    const QPixmap image = hit.pixmap();
    actions.copyImage = [image] { QGuiApplication::clipboard()->setImage(image.toImage()); };
    actions.back = [this] { onClickBack(); };
    if (WebContent::devToolsEnabled())
        actions.inspect = [this] { emit inspectRequested(); };

    if (QMenu *menu = pagemenu::build(target, actions, this))
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
    return WebContent::zoomStep(percent, direction);
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
        _zoomWheel.reset();
        QWebView::wheelEvent(event);
        return;
    }
    event->accept();
    for (int steps = _zoomWheel.steps(event->angleDelta().y()); steps != 0; steps -= steps > 0 ? 1 : -1)
        steps > 0 ? zoomIn() : zoomOut();
}
