#pragma once

#include "bridgeorigins.h"

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
    // or right after handing it to the view. The current document gets the
    // object at once if it matches.
    void allowOrigin(const QUrl &requested);
    // Once active, these alone decide, from the next document on.
    void setTrustedOrigins(const TrustedOriginList &trusted) { _origins.setTrustedOrigins(trusted); }

private:
    QWebFrame *mainFrame() const;
    void onWindowObjectCleared();
    void settleFinalAddress();
    void offerToCurrentDocument();

    QPointer<QWebPage> _page;
    QPointer<QObject> _bridge;
    QString _name;
    BridgeOrigins _origins;
};
