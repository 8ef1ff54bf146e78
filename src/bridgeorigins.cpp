#include "bridgeorigins.h"

bool BridgeOrigins::Origin::isValid() const
{
    // Local files and the pages compiled into the program have no host;
    // about:blank, data: and the like have no origin anyone could have asked for.
    const bool hostless = scheme == QLatin1String("file") || scheme == QLatin1String("qrc");
    return !scheme.isEmpty() && (!host.isEmpty() || hostless);
}

bool BridgeOrigins::Origin::operator==(const Origin &other) const
{
    return scheme == other.scheme && host == other.host && port == other.port;
}

BridgeOrigins::Origin BridgeOrigins::originOf(const QUrl &url)
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

void BridgeOrigins::allow(const QUrl &requested)
{
    _requestedOrigin = originOf(requested);
    _allowedOrigins.clear();
    if (_requestedOrigin.isValid())
        _allowedOrigins.append(_requestedOrigin);
    _awaitingFinalAddress = _requestedOrigin.isValid();
}

void BridgeOrigins::settle(const QUrl &requested, const QUrl &current)
{
    if (!_awaitingFinalAddress || !(originOf(requested) == _requestedOrigin))
        return;
    _awaitingFinalAddress = false;
    const Origin finalOrigin = originOf(current);
    if (finalOrigin.isValid() && !_allowedOrigins.contains(finalOrigin))
        _allowedOrigins.append(finalOrigin);
}

bool BridgeOrigins::isAllowed(const QUrl &url) const
{
    if (_trusted.isActive())
        return _trusted.mayUseBridge(url);
    const Origin origin = originOf(url);
    return origin.isValid() && _allowedOrigins.contains(origin);
}
