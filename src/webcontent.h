#pragma once

#include "trustedorigins.h"

#include <QList>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;
class ZuvoJsBridge;

// The window's one door to the page, whatever engine draws it. Each engine
// implements it in code of its own, the executable links exactly one of them,
// and create() makes that one's content. Nothing outside the engine code sees
// an engine class.
class WebContent : public QObject
{
    Q_OBJECT

public:
    enum class FindStep { Restart, Next, Previous };

    // Counting stops one past this, so a page full of one letter stays
    // responsive; the find bar then says "1000+ matches".
    static constexpr int maxCountedMatches = 1000;

    // Defined by the engine this executable links. The bridge stays the
    // caller's and outlives the content.
    static WebContent *create(QWidget *parent, ZuvoJsBridge *bridge);
    // Runs before the application object exists: what the engine must set up
    // in the process first.
    static void prepareProcess();
    // Once the host link is up and before its first address: an engine whose
    // pages run in processes of their own starts them now, so that the first
    // address is shown sooner. Nothing is shown and nothing reaches the host.
    // Does nothing once a window has had its content.
    static void prepareFirstPage();
    // The window's content: what was prepared, or else new content.
    static WebContent *createForWindow(QWidget *parent, ZuvoJsBridge *bridge);
    // Before the application object goes: prepared content never shown.
    static void discardPrepared();
    // "Qt WebKit" or "Qt WebEngine", for diagnostics.
    static QString engineName();

    using QObject::QObject;

    // The widget the window lays out in the page's place.
    virtual QWidget *view() const = 0;

    // An address the host asked for. The saved addresses are forgotten, and
    // only the address's origin, with wherever its first load ends up after
    // redirects, is offered the bridge.
    virtual void showAddress(const QUrl &address) = 0;
    // Reaches requests made after the call. A token holding a control
    // character is never sent, whole or in part.
    virtual void setAccessToken(const QString &token) = 0;
    // The host's rules: which requests may carry the token and which
    // documents get the bridge, which certificates pass despite their errors.
    // Like the token, they reach requests made after the call.
    virtual void setTrust(const TrustedOriginList &origins, const CertificateRule &certificates) = 0;
    virtual QUrl url() const = 0;
    virtual QString title() const = 0;

    // Back in the page's own history, else to the first of the addresses
    // saved when a page opened a new window in this one.
    virtual bool canGoBack() const = 0;
    virtual void goBack() = 0;

    // Zoom in the steps desktop browsers use; the level holds across loads.
    virtual int zoomPercent() const = 0;
    virtual void zoomIn() = 0;
    virtual void zoomOut() = 0;
    virtual void resetZoom() = 0;
    // The step next to percent in the given direction (+1 or -1), percent
    // itself at either end of the steps.
    static int zoomStep(int percent, int direction);

    // What a page opening a new window in this one leaves behind, current
    // address first: appended to saved, which drops its oldest beyond 30.
    static void saveAddresses(QQueue<QUrl> &saved, const QList<QUrl> &currentBackToFirst);

    // Every match highlighted, the current one the page's selection. The
    // answer comes as findResult, at once or later, once per call.
    virtual void find(const QString &text, FindStep step) = 0;
    // Takes the highlighting and the selection off the page.
    virtual void stopFinding() = 0;

    // The page's own alert, confirm and prompt, closed as their cancel. Both
    // engines open them on the view.
    void closePageDialogs();

    // What the window shows instead of a document whose certificate the
    // host's rule refused: the host and the reason, and no way on from there.
    static QString certificateRefusalPage(const QString &host, const QString &reason);
    // The reason for that page from the names of the failed checks
    // ("expired", "otherSite", ...), in the language in force.
    static QString certificateProblemText(const QStringList &problems);

    // Texts every engine shows alike, in the language in force.
    static QString devToolsTitle();
    enum class PageDialog { Alert, Confirm, Prompt };
    static QString pageDialogTitle(PageDialog kind, const QString &host);

    // Developer tools in a window of their own; only when the process was
    // started with ZUVO_DEVTOOLS=1.
    static bool devToolsEnabled();
    virtual void showDevTools() = 0;

protected:
    // Defined by the engine: content made before any window, or none.
    static WebContent *prepare();
    // Prepared content joins the window: it takes its place under the parent
    // and serves the bridge from now on.
    virtual void adopt(QWidget *parent, ZuvoJsBridge *bridge);

signals:
    void loadStarted();
    void loadFinished(bool ok);
    // The main frame shows another address.
    void urlChanged(const QUrl &url);
    void zoomChanged(int percent);
    // current counts from 1, 0 when nothing matches; past maxCountedMatches
    // total is only known to be larger.
    void findResult(int current, int total);
    void downloadRequested(const QUrl &url);
};

// Content whose engine is handed a zoom level rather than stepping one of its
// own: the level is held here, in the same steps, and applied on each change.
class SteppedZoomContent : public WebContent
{
    Q_OBJECT

public:
    using WebContent::WebContent;

    int zoomPercent() const override { return _zoomPercent; }
    void zoomIn() override { zoomBy(1); }
    void zoomOut() override { zoomBy(-1); }
    void resetZoom() override { setZoomPercent(100); }
    // Steps from the wheel or the keys, positive to zoom in.
    void zoomBy(int steps);

protected:
    virtual void applyZoom() = 0;

private:
    void setZoomPercent(int percent);

    int _zoomPercent = 100;
};
