#include "webenginecontent.h"

#include "accesstoken.h"
#include "bridgeprompt.h"
#include "crashnotice.h"
#include "tokeninterceptor.h"
#include "webenginecompat_p.h"
#include "webenginepage.h"
#include "webengineview.h"
#include "zuvolog.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLoggingCategory>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include <QTimer>

#include <signal.h>
#include <utility>
#include <unistd.h>

// The profile, the page and the page's processes, which the engine starts
// only with the first address otherwise.
WebContent *WebContent::prepare()
{
    auto *content = new WebEngineContent(nullptr, nullptr);
    content->startPageProcess();
    return content;
}

WebContent *WebContent::create(QWidget *parent, ZuvoJsBridge *bridge)
{
    return new WebEngineContent(parent, bridge);
}

void WebContent::prepareProcess()
{
    // The engine's widgets share one GL context with their page processes'
    // output, which must be asked for before the application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The window draws without OpenGL (see main), and so does the page: where
    // no OpenGL context can be had at all, as on the offscreen platform, the
    // engine would otherwise abort. A user's own choice wins.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    // The compositor's shaders would otherwise be cached under the home folder.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    // The engine's account of its graphics set-up, which newer engines print
    // at every start; a user's own logging rules win.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    // Qt 5's engine hands the page's contents to screen readers on Linux
    // only when told to (Qt 6's always does). Even so it builds that tree
    // only while an assistive technology is listening, so no one else pays.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
    // Chromium's sandbox cannot start for root, and the engine then refuses
    // to run at all; everyone else keeps it.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        qCWarning(zuvoWeb) << "running as root: the page processes' sandbox cannot start and is turned off";
    }
}

QString WebContent::engineName()
{
    return QStringLiteral("Qt WebEngine");
}

namespace {

// Far longer than a page process that runs takes for a trivial script.
constexpr int hungPageMs = 500;

QWebEngineScript bridgeOffer()
{
    QWebEngineScript script;
    script.setName(QStringLiteral("zuvowebkitbridge"));
    script.setSourceCode(bridgeprompt::pageScript());
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    return script;
}

void offerBridge(QWebEnginePage *page)
{
    // Inserted anew after a page process ended: the engine does not hand a
    // script it already has to the process that replaces it.
    page->scripts().clear();
    page->scripts().insert(bridgeOffer());
}

void configureProfile(QWebEngineProfile *profile)
{
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile->setSpellCheckEnabled(false);
    // Servers tell the chat client's browser by its name, as on WebKit.
    profile->setHttpUserAgent(profile->httpUserAgent() + QLatin1Char(' ') + QCoreApplication::applicationName());
    profile->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    profile->settings()->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
}

} // namespace

WebEngineContent::WebEngineContent(QWidget *parent, ZuvoJsBridge *bridge)
    : SteppedZoomContent(parent)
    // No storage name: off the record, in memory only.
    , _profile(new QWebEngineProfile(this))
    , _interceptor(new TokenInterceptor(this))
    , _view(new ZuvoWebEngineView(parent))
    , _page(new ZuvoWebEnginePage(_profile, bridge, this))
    , _crashNotice(new CrashNotice(_view))
{
    configureProfile(_profile);
    _profile->setUrlRequestInterceptor(_interceptor);
    // Set before the view is asked for its page, so no default profile (and
    // nothing on disk) is ever made.
    _view->setPage(_page);
    offerBridge(_page);

    _view->canGoBack = [this] { return canGoBack(); };
    _view->goBack = [this] { goBack(); };
    if (devToolsEnabled())
        _view->inspect = [this] { showDevTools(); };
    connect(_view, &ZuvoWebEngineView::zoomSteps, this, &SteppedZoomContent::zoomBy);

    connect(_profile, &QWebEngineProfile::downloadRequested, this, [this](webenginecompat::DownloadRequest *item) {
        // The host fetches the file; the engine's own download never starts.
        const QUrl url = item->url();
        item->cancel();
        emit downloadRequested(url);
    });
    connect(_page, &QWebEnginePage::loadStarted, this, [this] {
        if (std::exchange(_bridgeNeedsOffer, false))
            offerBridge(_page);
        _crashNotice->hide();
        emit loadStarted();
    });
    connect(_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (std::exchange(_blankLoading, false) && !_addressAfterBlank.isEmpty())
            _page->load(std::exchange(_addressAfterBlank, QUrl()));
        if (_blankBehind && url() != QUrl(QStringLiteral("about:blank"))) {
            // The page's own history starts with its first address, as without the blank.
            _page->history()->clear();
            _blankBehind = false;
        }
        logPageProcess();
        qCDebug(zuvoWeb) << "ZuvoWebEngineView::loadFinished" << ok
                         << url().toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo | QUrl::RemoveFragment);
        // The engine keeps a zoom level per site; the window keeps one for all.
        applyZoom();
        emit loadFinished(ok);
    });
    connect(_page, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) {
        _interceptor->setCurrentDocument(url);
        emit urlChanged(url);
    });
    connect(_page, &ZuvoWebEnginePage::redirectStopped, this, [this](const QUrl &target) {
        _interceptor->expectRestartedRedirect(target);
        // Once the engine has finished with the navigation it was refused.
        QTimer::singleShot(0, _page, [this, target] { _page->load(target); });
    });
    connect(_page, &QWebEnginePage::findTextFinished, this, &WebEngineContent::onFindResult);
    connect(_page, &QWebEnginePage::renderProcessTerminated, this, &WebEngineContent::onRenderProcessTerminated);
}

WebEngineContent::~WebEngineContent()
{
    delete _devTools;
    // The page before its profile, the view before its page.
    delete _view;
    delete _page;
}

QWidget *WebEngineContent::view() const
{
    return _view;
}

void WebEngineContent::startPageProcess()
{
    // The first address then takes over the blank document's process.
    _blankBehind = true;
    _blankLoading = true;
    _page->load(QUrl(QStringLiteral("about:blank")));
}

bool WebEngineContent::historyGoesBack() const
{
    const QWebEngineHistory *history = _page->history();
    return history->canGoBack() && !(_blankBehind && history->currentItemIndex() <= 1);
}

void WebEngineContent::adopt(QWidget *parent, ZuvoJsBridge *bridge)
{
    _page->setBridge(bridge);
    WebContent::adopt(parent, bridge);
}

QWebEnginePage *WebEngineContent::page() const
{
    return _page;
}

void WebEngineContent::showAddress(const QUrl &address)
{
    qCDebug(zuvoWeb) << "ZuvoWebEngineView::load";
    _page->savedAddresses().clear();
    _page->allowBridgeOrigin(address);
    _pendingAddress = address;
    _interceptor->expectHostNavigation(address);
    if (_blankLoading) {
        // Qt 6.8's engine drops an address asked for while that blank
        // document is still on its way; it follows as soon as it is there.
        _addressAfterBlank = address;
        return;
    }
    replaceIfHung();
    _page->load(address);
}

void WebEngineContent::logPageProcess()
{
    // Which process to look at when a page misbehaves.
    const qint64 pid = _page->renderProcessPid();
    if (pid > 0 && pid != _loggedPagePid)
        qCDebug(zuvoWeb) << "page process" << pid;
    _loggedPagePid = pid;
}

void WebEngineContent::replaceIfHung()
{
    // The engine lets the current page process finish its script before it
    // navigates there, which a script that never yields never does. A page
    // process that cannot answer a trivial script in time is ended instead,
    // and the address loads in a new one.
    if (_page->renderProcessPid() <= 0 || _replacingHungPage)
        return;
    const int ping = ++_ping;
    _page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                         [this, ping](const QVariant &) {
                             if (ping == _ping)
                                 _answeredPing = true;
                         });
    _answeredPing = false;
    QTimer::singleShot(hungPageMs, this, [this, ping] {
        if (ping != _ping || _answeredPing || _page->renderProcessPid() <= 0)
            return;
        qCDebug(zuvoWeb) << "page process" << _page->renderProcessPid() << "does not answer: ended";
        _replacingHungPage = true;
        ::kill(pid_t(_page->renderProcessPid()), SIGKILL);
    });
}

void WebEngineContent::setAccessToken(const QString &token)
{
    _interceptor->setToken(accesstoken::sendable(token).toUtf8());
}

void WebEngineContent::setTrust(const TrustedOriginList &origins, const CertificateRule &certificates)
{
    _interceptor->setTrustedOrigins(origins);
    _page->setTrust(origins, certificates);
}

QUrl WebEngineContent::url() const
{
    return _page->url();
}

QString WebEngineContent::title() const
{
    return _page->title();
}

bool WebEngineContent::canGoBack() const
{
    return historyGoesBack() || !_page->savedAddresses().isEmpty();
}

void WebEngineContent::goBack()
{
    if (historyGoesBack()) {
        _page->history()->back();
        return;
    }
    if (_page->savedAddresses().isEmpty())
        return;
    const QUrl address = _page->savedAddresses().dequeue();
    // As with any address ordered from outside the page, the rest is forgotten.
    _page->savedAddresses().clear();
    _page->load(address);
}

void WebEngineContent::applyZoom()
{
    const qreal factor = zoomPercent() / 100.0;
    if (!qFuzzyCompare(_page->zoomFactor(), factor))
        _page->setZoomFactor(factor);
}

void WebEngineContent::find(const QString &text, FindStep step)
{
    _findText = text;
    if (text.isEmpty()) {
        clearEngineFind();
        emit findResult(0, 0);
        return;
    }
    // A new search starts from the top, not from the previous text's match.
    if (step == FindStep::Restart)
        clearEngineFind();
    // The engine highlights every match, counts them, and wraps at the ends.
    _page->findText(text, step == FindStep::Previous ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

void WebEngineContent::clearEngineFind()
{
    // The engine answers an empty search too, after any later one was asked.
    ++_emptySearchAnswersDue;
    _page->findText(QString());
}

void WebEngineContent::onFindResult(const QWebEngineFindTextResult &result)
{
    // Answers come in the order the searches were asked.
    if (_emptySearchAnswersDue > 0 && result.numberOfMatches() == 0) {
        --_emptySearchAnswersDue;
        return;
    }
    // An answer to a search since stopped.
    if (_findText.isEmpty())
        return;
    emit findResult(result.activeMatch(), result.numberOfMatches());
}

void WebEngineContent::stopFinding()
{
    _findText.clear();
    clearEngineFind();
}

void WebEngineContent::showDevTools()
{
    if (!devToolsEnabled())
        return;
    if (!_devTools) {
        _devTools = new QWebEngineView;
        _devTools->setAttribute(Qt::WA_DeleteOnClose);
        _devTools->setWindowTitle(devToolsTitle());
        auto *toolsPage = new QWebEnginePage(_profile, _devTools);
        _devTools->setPage(toolsPage);
        _page->setDevToolsPage(toolsPage);
        _devTools->resize(900, 600);
    }
    _devTools->show();
    _devTools->raise();
    _devTools->activateWindow();
}

void WebEngineContent::onRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status,
                                                 int exitCode)
{
    _bridgeNeedsOffer = true;
    if (_replacingHungPage) {
        _replacingHungPage = false;
        // Once the engine has finished taking the old process down.
        QTimer::singleShot(0, this, [this] { _page->load(_pendingAddress); });
        return;
    }
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    qCDebug(zuvoWeb) << "page process ended, status" << status << "exit code" << exitCode;
    _crashNotice->showOverPage();
}
