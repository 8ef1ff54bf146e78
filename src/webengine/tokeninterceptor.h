#pragma once

#include "trustedorigins.h"

#include <QByteArray>
#include <QMutex>
#include <QSet>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

// Puts the host's access token on the requests of the profile's pages:
// documents, sub-resources and script requests, to every host, or, once the
// host names its trusted origins, to those that the rule lets have it.
class TokenInterceptor : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // Empty: requests go without the header.
    void setToken(const QByteArray &token);
    void setTrustedOrigins(const TrustedOriginList &origins);
    // The next document request for this address is the window's own, for the host.
    void expectHostNavigation(const QUrl &address);
    // The main frame's document: the one that starts what the engine starts
    // on the window's behalf (going back).
    void setCurrentDocument(const QUrl &url);
    // The window loads a redirect's target anew that the page stopped: no
    // trusted document started it.
    void expectRestartedRedirect(const QUrl &target);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    bool documentMayCarryToken(QWebEngineUrlRequestInfo &info);

    // Guarded, as the engine decides on which thread it asks.
    QMutex _mutex;
    QByteArray _token;
    TrustedOriginList _origins;
    QUrl _hostNavigation;
    QUrl _currentDocument;
    QSet<QUrl> _restartedRedirects;
};
