#include "webkitcontent.h"

#include "webkitfinder.h"
#include "zuvobridgepolicy.h"
#include "zuvochatwebkitview.h"
#include "zuvojsbridge.h"
#include "zuvolog.h"
#include "zuvowebkitnetworkmanager.h"
#include "zuvowebkitpage.h"

#include <QWebFrame>
#include <QWebInspector>
#include <QWebSettings>

namespace {
const char *const kBridgeName = "zuvowebkitbridge";
}

// The page runs in this process, whose start the host has already waited for.
WebContent *WebContent::prepare()
{
    return nullptr;
}

WebContent *WebContent::create(QWidget *parent, ZuvoJsBridge *bridge)
{
    return new WebKitContent(parent, bridge);
}

void WebContent::prepareProcess()
{
}

QString WebContent::engineName()
{
    return QStringLiteral("Qt WebKit");
}

WebKitContent::WebKitContent(QWidget *parent, ZuvoJsBridge *bridge)
    : WebContent(parent)
    , _view(new ZuvoChatWebKitView(parent))
    , _page(new ZuvoWebKitPage(this))
    , _network(new ZuvoWebKitNetworkManager(this))
{
    _page->setNetworkAccessManager(_network);
    if (devToolsEnabled())
        _page->settings()->setAttribute(QWebSettings::DeveloperExtrasEnabled, true);
    _view->setPage(_page);
    // The host's pages find the bridge after every load; pages of other
    // origins never see it.
    _bridgePolicy = new ZuvoBridgeOriginPolicy(_page, bridge, QLatin1String(kBridgeName), this);
    _finder = new WebKitFinder(_page, this);

    connect(_page, &QWebPage::downloadRequested, this,
            [this](const QNetworkRequest &request) { emit downloadRequested(request.url()); });
    connect(_page->mainFrame(), &QWebFrame::loadStarted, this, &WebContent::loadStarted);
    connect(_view, &QWebView::loadFinished, this, &WebContent::loadFinished);
    connect(_view, &QWebView::urlChanged, this, &WebContent::urlChanged);
    connect(_view, &ZuvoChatWebKitView::zoomChanged, this, &WebContent::zoomChanged);
    connect(_view, &ZuvoChatWebKitView::inspectRequested, this, &WebKitContent::showDevTools);
    connect(_finder, &WebKitFinder::result, this, &WebContent::findResult);
    // Unanswered, a page would wait for ever for location or notifications.
    connect(_page, &QWebPage::featurePermissionRequested, this, [this](QWebFrame *frame, QWebPage::Feature feature) {
        qCDebug(zuvoWeb) << "permission refused:"
                         << (feature == QWebPage::Geolocation ? "location" : "notifications") << "for"
                         << frame->url().toString(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery);
        _page->setFeaturePermission(frame, feature, QWebPage::PermissionDeniedByUser);
    });
}

WebKitContent::~WebKitContent()
{
    delete _inspector;
    // The page refers to the bridge and the network manager; take it down
    // while both still exist.
    delete _view;
    delete _page;
}

QWidget *WebKitContent::view() const
{
    return _view;
}

void WebKitContent::showAddress(const QUrl &address)
{
    _bridgePolicy->allowOrigin(address);
    _network->expectHostNavigation(address);
    _view->load(address);
}

void WebKitContent::setAccessToken(const QString &token)
{
    _network->setAccessToken(token);
}

void WebKitContent::setTrust(const TrustedOriginList &origins, const CertificateRule &certificates)
{
    _network->setTrust(origins, certificates);
    _bridgePolicy->setTrustedOrigins(origins);
}

QUrl WebKitContent::url() const
{
    return _view->url();
}

QString WebKitContent::title() const
{
    return _view->title();
}

bool WebKitContent::canGoBack() const
{
    return _view->canGoBack();
}

void WebKitContent::goBack()
{
    _view->onClickBack();
}

int WebKitContent::zoomPercent() const
{
    return _view->zoomPercent();
}

void WebKitContent::zoomIn()
{
    _view->zoomIn();
}

void WebKitContent::zoomOut()
{
    _view->zoomOut();
}

void WebKitContent::resetZoom()
{
    _view->resetZoom();
}

void WebKitContent::find(const QString &text, FindStep step)
{
    _finder->find(text, step);
}

void WebKitContent::stopFinding()
{
    _finder->stop();
}

void WebKitContent::showDevTools()
{
    if (!devToolsEnabled())
        return;
    if (!_inspector) {
        _inspector = new QWebInspector;
        _inspector->setAttribute(Qt::WA_DeleteOnClose);
        _inspector->setWindowTitle(devToolsTitle());
        _inspector->setPage(_page);
        _inspector->resize(900, 600);
    }
    _inspector->show();
    _inspector->raise();
    _inspector->activateWindow();
}
