#pragma once

#include "bridgeorigins.h"
#include "webcontent.h"
#include "zuvojsbridge.h"

#include <QPointer>
#include <QQueue>
#include <QWaylandXdgShell>

class HelperProcess;
class PageCompositor;
class PagePopups;
class PageView;
class CrashNotice;

namespace helpermessages {
struct Message;
}

// The window's page on WebKitGTK, which the platform keeps current. The
// engine runs in a helper program (a GTK window holding the web view) that
// draws into this process's own Wayland compositor; the view paints what it
// draws and hands it the user's input. Everything else travels as messages.
class WebKitGtkContent : public SteppedZoomContent
{
    Q_OBJECT

public:
    WebKitGtkContent(QWidget *parent, ZuvoJsBridge *bridge);
    ~WebKitGtkContent() override;

    QWidget *view() const override;
    // Has the helper start a page process before any address, for the first
    // address to use.
    void startPageProcess();

    void showAddress(const QUrl &address) override;
    void setAccessToken(const QString &token) override;
    void setTrust(const TrustedOriginList &origins, const CertificateRule &certificates) override;
    QUrl url() const override;
    QString title() const override;
    bool canGoBack() const override;
    void goBack() override;
    void find(const QString &text, FindStep step) override;
    void stopFinding() override;
    void showDevTools() override;

protected:
    void applyZoom() override;
    void adopt(QWidget *parent, ZuvoJsBridge *bridge) override;

private:
    void startHelper();
    void sendSettings();
    void showToplevel(QWaylandXdgToplevel *toplevel, QWaylandXdgSurface *surface);
    void handle(const helpermessages::Message &message);
    void answerResource(const helpermessages::Message &message);
    void answerBridgeCall(const helpermessages::Message &message);
    void openPageDialog(const helpermessages::Message &message);
    void showContextMenu(const helpermessages::Message &message);
    void putOnClipboard(const helpermessages::Message &message);
    void onNewWindow(const helpermessages::Message &message);
    void onLoadFinished(const helpermessages::Message &message);
    void onPageEnded();
    void replaceIfHung();

    QPointer<ZuvoJsBridge> _bridge;
    PageCompositor *_compositor;
    PageView *_view;
    QPointer<PageView> _devTools;
    HelperProcess *_helper;
    CrashNotice *_crashNotice;
    PagePopups *_popups;
    BridgeOrigins _origins;
    QQueue<QUrl> _savedAddresses;
    QUrl _url;
    QString _title;
    bool _canGoBackInPage = false;

    // What the helper was told, told again to a new one.
    QStringList _token;
    QStringList _trust;
    QStringList _passingCertificates;
    bool _strictCertificates = false;

    QUrl _pendingAddress;
    qint64 _webProcess = 0;
    int _ping = 0;
    bool _answeredPing = false;
    bool _pageShown = false;
};
