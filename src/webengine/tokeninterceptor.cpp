#include "tokeninterceptor.h"

#include "accesstoken.h"

#include <QMutexLocker>

void TokenInterceptor::setToken(const QByteArray &token)
{
    QMutexLocker locker(&_mutex);
    _token = token;
}

void TokenInterceptor::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    QMutexLocker locker(&_mutex);
    if (!_token.isEmpty())
        info.setHttpHeader(accesstoken::headerName(), _token);
}
