#pragma once

#include "zoomwheel.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QQueue>
#include <QUrl>
#include <QWebPage>
#include <QWebView>

class QContextMenuEvent;
class QWheelEvent;

// The view that shows the window's pages. A page that asks for a new browser
// window is shown here instead; the addresses it replaced are kept so that
// "back" still leads somewhere. The right-click menu offers copying what the
// pointer is over, and "back".
class ZuvoChatWebKitView : public QWebView
{
    Q_OBJECT

public:
    explicit ZuvoChatWebKitView(QWidget *parent);
    ~ZuvoChatWebKitView() override;

    // Navigation ordered from outside the page forgets the saved addresses.
    // These hide the non-virtual QWebView operations of the same signatures.
    void load(const QUrl &url);
    void load(const QNetworkRequest &request,
              QNetworkAccessManager::Operation operation = QNetworkAccessManager::GetOperation,
              const QByteArray &body = QByteArray());
    void setUrl(const QUrl &url);
    void setHtml(const QString &html, const QUrl &baseUrl = QUrl());
    void setContent(const QByteArray &data, const QString &mimeType = QString(),
                    const QUrl &baseUrl = QUrl());
    void setPage(QWebPage *page);

    // Appends the view's history, current item first, to the saved addresses.
    void storeHistory();
    const QQueue<QUrl> &savedHistory() const { return _history; }
    // Back in the page's history, or to a saved address.
    bool canGoBack() const;

    // Page zoom in the steps desktop browsers use; it holds across loads.
    int zoomPercent() const { return _zoomPercent; }
    void zoomIn();
    void zoomOut();
    void resetZoom();
    // The step next to percent in the given direction (+1 or -1), percent
    // itself at either end of the steps.
    static int zoomStep(int percent, int direction);

signals:
    void zoomChanged(int percent);
    // "Inspect" chosen in the menu.
    void inspectRequested();

public slots:
    void onClickBack();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    QWebView *createWindow(QWebPage::WebWindowType type) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void setZoomPercent(int percent);

    QQueue<QUrl> _history;
    int _zoomPercent = 100;
    ZoomWheel _zoomWheel;
};
