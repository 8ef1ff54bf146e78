#pragma once

#include "bridgeorigins.h"
#include "webenginecompat_p.h"

#include <QPointer>
#include <QQueue>
#include <QUrl>
#include <QWebEnginePage>

class QWebEngineProfile;
class ZuvoJsBridge;

// The window's page on Qt WebEngine. Its page process cannot call back into
// this one synchronously except through the page's own dialogs, so the
// bridge travels as prompts with a marker: the page blocks on the answer as
// it does on WebKit's bridge, while this process keeps its event loop going.
// Certificate problems never stop a load unless the host's rule says so; camera, microphone, screen,
// location and notifications are refused without asking.
class ZuvoWebEnginePage : public webenginecompat::CertificateCheckingPage
{
    Q_OBJECT

public:
    ZuvoWebEnginePage(QWebEngineProfile *profile, ZuvoJsBridge *bridge, QObject *parent);

    // The host's address about to be loaded: only its origin, and where its
    // first load ends up, gets the bridge.
    void allowBridgeOrigin(const QUrl &requested);
    void setTrust(const TrustedOriginList &origins, const CertificateRule &certificates);
    // A page made before its window has no bridge until the window's.
    void setBridge(ZuvoJsBridge *bridge);

    // Filled when a page opens a new window in this one.
    QQueue<QUrl> &savedAddresses() { return _savedAddresses; }

signals:
    // A document's redirect away from the trusted origins was stopped before
    // the engine sent the hop the first request's headers, the token among them.
    void redirectStopped(const QUrl &target);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    bool acceptsDespiteError(const QWebEngineCertificateError &error) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                          QString *result) override;

private:
    QWidget *dialogParent() const;
    void saveHistory();

    QPointer<ZuvoJsBridge> _bridge;
    BridgeOrigins _origins;
    QQueue<QUrl> _savedAddresses;
    CertificateRule _certificates;
    TrustedOriginList _trustedOrigins;
};
