#include "zuvobridgepolicy.h"

#include <QWebFrame>
#include <QWebPage>

bool ZuvoBridgeOriginPolicy::Origin::isValid() const
{
    // Local files and the pages compiled into the program have no host;
    // about:blank, data: and the like have no origin anyone could have asked for.
    const bool hostless = scheme == QLatin1String("file") || scheme == QLatin1String("qrc");
    return !scheme.isEmpty() && (!host.isEmpty() || hostless);
}

bool ZuvoBridgeOriginPolicy::Origin::operator==(const Origin &other) const
{
    return scheme == other.scheme && host == other.host && port == other.port;
}

ZuvoBridgeOriginPolicy::Origin ZuvoBridgeOriginPolicy::originOf(const QUrl &url)
{
    Origin origin;
    if (!url.isValid())
        return origin;
    origin.scheme = url.scheme().toLower();
    origin.host = url.host(QUrl::FullyEncoded).toLower();
    const int defaultPort = origin.scheme == QLatin1String("https") ? 443
                            : origin.scheme == QLatin1String("http") ? 80
                                                                     : -1;
    origin.port = url.port(defaultPort);
    return origin;
}

ZuvoBridgeOriginPolicy::ZuvoBridgeOriginPolicy(QWebPage *page, QObject *bridge,
                                               const QString &name, QObject *parent)
    : QObject(parent)
    , _page(page)
    , _bridge(bridge)
    , _name(name)
{
    QWebFrame *frame = page->mainFrame();
    connect(frame, &QWebFrame::javaScriptWindowObjectCleared,
            this, &ZuvoBridgeOriginPolicy::onWindowObjectCleared);
    // A document that runs no script announces no window object, so the end
    // of a load settles where the requested address led as well. A load that
    // failed is skipped: the previous load, cancelled by the host's new
    // address, would otherwise settle it too early.
    connect(frame, &QWebFrame::loadFinished, this, [this](bool ok) {
        if (ok)
            settleFinalAddress();
    });
}

QWebFrame *ZuvoBridgeOriginPolicy::mainFrame() const
{
    return _page ? _page->mainFrame() : nullptr;
}

void ZuvoBridgeOriginPolicy::allowOrigin(const QUrl &requested)
{
    _requestedOrigin = originOf(requested);
    _allowedOrigins.clear();
    if (_requestedOrigin.isValid())
        _allowedOrigins.append(_requestedOrigin);
    _awaitingFinalAddress = _requestedOrigin.isValid();
    offerToCurrentDocument();
}

bool ZuvoBridgeOriginPolicy::isAllowed(const QUrl &url) const
{
    const Origin origin = originOf(url);
    return origin.isValid() && _allowedOrigins.contains(origin);
}

void ZuvoBridgeOriginPolicy::settleFinalAddress()
{
    QWebFrame *frame = mainFrame();
    if (!_awaitingFinalAddress || !frame)
        return;
    // Only a document whose load was started for the requested origin tells
    // where that load ended; anything else showing meanwhile is not it.
    if (!(originOf(frame->requestedUrl()) == _requestedOrigin))
        return;
    _awaitingFinalAddress = false;
    const Origin finalOrigin = originOf(frame->url());
    if (finalOrigin.isValid() && !_allowedOrigins.contains(finalOrigin))
        _allowedOrigins.append(finalOrigin);
}

void ZuvoBridgeOriginPolicy::onWindowObjectCleared()
{
    settleFinalAddress();
    offerToCurrentDocument();
}

void ZuvoBridgeOriginPolicy::offerToCurrentDocument()
{
    QWebFrame *frame = mainFrame();
    if (!frame || !_bridge || !isAllowed(frame->url()))
        return;
    frame->addToJavaScriptWindowObject(_name, _bridge);
}
