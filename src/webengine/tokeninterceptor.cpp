#include "tokeninterceptor.h"

#include "accesstoken.h"

#include <QMutexLocker>

void TokenInterceptor::setToken(const QByteArray &token)
{
    QMutexLocker locker(&_mutex);
    _token = token;
}

void TokenInterceptor::setTrustedOrigins(const TrustedOriginList &origins)
{
    QMutexLocker locker(&_mutex);
    _origins = origins;
}

void TokenInterceptor::expectHostNavigation(const QUrl &address)
{
    QMutexLocker locker(&_mutex);
    _hostNavigation = comparableAddress(address);
}

void TokenInterceptor::setCurrentDocument(const QUrl &url)
{
    QMutexLocker locker(&_mutex);
    _currentDocument = url;
}

void TokenInterceptor::expectRestartedRedirect(const QUrl &target)
{
    QMutexLocker locker(&_mutex);
    _restartedRedirects.insert(comparableAddress(target));
}

void TokenInterceptor::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    QMutexLocker locker(&_mutex);
    if (_token.isEmpty())
        return;
    bool carries = true;
    if (_origins.isActive()) {
        carries = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame
                      ? documentMayCarryToken(info)
                      : _origins.mayCarryToken(info.requestUrl(), info.initiator(), false);
    }
    if (carries)
        info.setHttpHeader(accesstoken::headerName(), _token);
}

bool TokenInterceptor::documentMayCarryToken(QWebEngineUrlRequestInfo &info)
{
    const QUrl address = comparableAddress(info.requestUrl());
    // A later hop of a redirect: the engine sends it the first hop's headers
    // whatever is said here, so the page stops a hop that leaves the trusted
    // origins before it goes out.
    if (address != comparableAddress(info.firstPartyUrl()))
        return false;
    bool startedByHost = false;
    QUrl initiator = info.initiator();
    if (_restartedRedirects.remove(address)) {
        initiator = QUrl();
    } else if (initiator.isEmpty()) {
        // The window started it: for the host, or going back from the current document.
        startedByHost = !_hostNavigation.isEmpty() && address == _hostNavigation;
        if (startedByHost)
            _hostNavigation.clear();
        else
            initiator = _currentDocument;
    }
    return _origins.mayCarryToken(address, initiator, startedByHost);
}
