#include "zuvowebkitnetworkmanager.h"

#include "zuvolog.h"

#include <QMetaType>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

namespace {
const QByteArray accessTokenHeader = QByteArrayLiteral("X-Access-Token");

// A line break in a header value would end the header and start another one
// of the host's choosing; other control characters make the request one that
// servers refuse. Such a token is never sent, whole or in part.
bool fitsHeaderValue(const QString &token)
{
    return std::none_of(token.begin(), token.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}
} // namespace

ZuvoWebKitNetworkManager::ZuvoWebKitNetworkManager(QObject *parent)
    : QNetworkAccessManager(parent)
{
    // A connection by signature looks the argument types up by name.
    qRegisterMetaType<QList<QSslError>>();
    connect(this, SIGNAL(sslErrors(QNetworkReply*,QList<QSslError>)),
            this, SLOT(onSslErrors(QNetworkReply*,QList<QSslError>)));
}

void ZuvoWebKitNetworkManager::setAccessToken(QString accessToken)
{
    if (!fitsHeaderValue(accessToken)) {
        qCDebug(zuvoWeb) << "accessToken refused: control characters";
        accessToken.clear();
    }
    _accessToken = accessToken;
}

QNetworkReply *ZuvoWebKitNetworkManager::createRequest(Operation op,
                                                       const QNetworkRequest &request,
                                                       QIODevice *outgoingData)
{
    if (_accessToken.isEmpty())
        return QNetworkAccessManager::createRequest(op, request, outgoingData);
    QNetworkRequest withToken(request);
    withToken.setRawHeader(accessTokenHeader, _accessToken.toUtf8());
    return QNetworkAccessManager::createRequest(op, withToken, outgoingData);
}

void ZuvoWebKitNetworkManager::onSslErrors(QNetworkReply *reply, QList<QSslError> error)
{
    Q_UNUSED(error)
    if (reply)
        reply->ignoreSslErrors();
}
