#pragma once

#include "crashnotice.h"
#include "webcontent.h"

#include <QPointer>
#include <QWebEnginePage>

class QWebEngineFindTextResult;
class QWebEngineProfile;
class QWebEngineView;
class TokenInterceptor;
class ZuvoJsBridge;
class ZuvoWebEnginePage;
class ZuvoWebEngineView;

// The window's page on Qt WebEngine: an off-the-record profile of its own
// (nothing reaches the disk), the token on every request, and the page in a
// process of its own, so a page that hangs or crashes leaves the window and
// the host link working.
class WebEngineContent : public SteppedZoomContent
{
    Q_OBJECT

public:
    WebEngineContent(QWidget *parent, ZuvoJsBridge *bridge);
    ~WebEngineContent() override;

    QWidget *view() const override;
    QWebEnginePage *page() const;
    // Starts the page's process on a blank document before any address, for
    // the first address to use.
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

    // The words shown in the page's place once its process has ended.
    QString crashText() const { return _crashNotice->text(); }
    bool showsCrashNotice() const { return !_crashNotice->isHidden(); }

protected:
    void applyZoom() override;
    void adopt(QWidget *parent, ZuvoJsBridge *bridge) override;

private:
    // Back in the page's own history, which the blank document is not part of.
    bool historyGoesBack() const;
    void replaceIfHung();
    void logPageProcess();
    void clearEngineFind();
    void onFindResult(const QWebEngineFindTextResult &result);
    void onRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode);

    QWebEngineProfile *_profile;
    TokenInterceptor *_interceptor;
    ZuvoWebEngineView *_view;
    ZuvoWebEnginePage *_page;
    // The view's child, over the page.
    CrashNotice *_crashNotice;
    QString _findText;
    int _emptySearchAnswersDue = 0;
    QUrl _pendingAddress;
    qint64 _loggedPagePid = 0;
    int _ping = 0;
    bool _answeredPing = false;
    bool _replacingHungPage = false;
    bool _bridgeNeedsOffer = false;
    // The blank document that started the page's process is in its history.
    bool _blankBehind = false;
    bool _blankLoading = false;
    QUrl _addressAfterBlank;
    QPointer<QWebEngineView> _devTools;
};
