#include "zuvowebkitnetworkmanager.h"

#include "accesstoken.h"

#include <QMetaType>
#include <QNetworkReply>
#include <QNetworkRequest>

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
    _accessToken = accesstoken::sendable(accessToken);
}

QNetworkReply *ZuvoWebKitNetworkManager::createRequest(Operation op,
                                                       const QNetworkRequest &request,
                                                       QIODevice *outgoingData)
{
    if (_accessToken.isEmpty())
        return QNetworkAccessManager::createRequest(op, request, outgoingData);
    QNetworkRequest withToken(request);
    withToken.setRawHeader(accesstoken::headerName(), _accessToken.toUtf8());
    return QNetworkAccessManager::createRequest(op, withToken, outgoingData);
}

void ZuvoWebKitNetworkManager::onSslErrors(QNetworkReply *reply, QList<QSslError> error)
{
    Q_UNUSED(error)
    if (reply)
        reply->ignoreSslErrors();
}
