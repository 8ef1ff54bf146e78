#pragma once

#include "webcontent.h"

#include <QPointer>

class QWebInspector;
class WebKitFinder;
class ZuvoBridgeOriginPolicy;
class ZuvoChatWebKitView;
class ZuvoJsBridge;
class ZuvoWebKitNetworkManager;
class ZuvoWebKitPage;

// The window's page on Qt WebKit: one view, its page and network manager,
// the bridge offered to the host's own origins, all on the window's thread.
class WebKitContent : public WebContent
{
    Q_OBJECT

public:
    WebKitContent(QWidget *parent, ZuvoJsBridge *bridge);
    ~WebKitContent() override;

    QWidget *view() const override;
    ZuvoChatWebKitView *webKitView() const { return _view; }

    void showAddress(const QUrl &address) override;
    void setAccessToken(const QString &token) override;
    void setTrust(const TrustedOriginList &origins, const CertificateRule &certificates) override;
    QUrl url() const override;
    QString title() const override;
    bool canGoBack() const override;
    void goBack() override;
    int zoomPercent() const override;
    void zoomIn() override;
    void zoomOut() override;
    void resetZoom() override;
    void find(const QString &text, FindStep step) override;
    void stopFinding() override;
    void showDevTools() override;

private:
    ZuvoChatWebKitView *_view;
    ZuvoWebKitPage *_page;
    ZuvoWebKitNetworkManager *_network;
    ZuvoBridgeOriginPolicy *_bridgePolicy;
    WebKitFinder *_finder;
    QPointer<QWebInspector> _inspector;
};
