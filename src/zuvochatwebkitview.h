#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QQueue>
#include <QUrl>
#include <QWebPage>
#include <QWebView>

class QContextMenuEvent;

// The view that shows the window's pages. A page that asks for a new browser
// window is shown here instead; the addresses it replaced are kept so that
// "back" still leads somewhere, and the right-click menu offers only that.
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

public slots:
    void onClickBack();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    QWebView *createWindow(QWebPage::WebWindowType type) override;

private:
    bool canGoBack() const;

    QQueue<QUrl> _history;
};
