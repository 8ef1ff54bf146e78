#include "zuvochatwebkitview.h"

#include "zuvolog.h"

#include <QContextMenuEvent>
#include <QDebug>
#include <QMenu>
#include <QWebHistory>

namespace {
const int maxSavedAddresses = 30;
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
