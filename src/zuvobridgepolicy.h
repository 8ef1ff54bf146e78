#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QWebFrame;
class QWebPage;

// Offers one object to the scripts of a page's main frame, and only to
// documents of the origins the window was asked to show. WebKit drops such
// objects whenever a new document replaces the window object, so the offer
// is renewed for every document that qualifies; child frames never get it.
class ZuvoBridgeOriginPolicy : public QObject
{
    Q_OBJECT

public:
    // The page and the bridge stay the caller's, and either may go first.
    ZuvoBridgeOriginPolicy(QWebPage *page, QObject *bridge, const QString &name,
                           QObject *parent = nullptr);

    // Call with every address the host asks the window to show, right before
    // or right after handing it to the view. The allowed origins become that
    // address's origin alone, plus the origin where the first document loaded
    // from it ends up after redirects. The current document gets the object
    // at once if it matches.
    void allowOrigin(const QUrl &requested);

private:
    struct Origin {
        QString scheme;
        QString host;
        int port = -1;
        bool isValid() const;
        bool operator==(const Origin &other) const;
    };
    static Origin originOf(const QUrl &url);
    bool isAllowed(const QUrl &url) const;

    QWebFrame *mainFrame() const;
    void onWindowObjectCleared();
    void settleFinalAddress();
    void offerToCurrentDocument();

    QPointer<QWebPage> _page;
    QPointer<QObject> _bridge;
    QString _name;
    Origin _requestedOrigin;
    QList<Origin> _allowedOrigins;
    bool _awaitingFinalAddress = false;
};
