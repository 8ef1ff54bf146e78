#include "zuvowebkitnetworkmanager.h"

#include "accesstoken.h"
#include "zuvolog.h"

#include <QMetaType>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QStringList>
#include <QWebFrame>

namespace {

// The document that started a request: its frame's, or for a frame that
// has none yet, the one that holds the frame.
QUrl initiatorOf(const QNetworkRequest &request)
{
    for (auto *frame = qobject_cast<QWebFrame *>(request.originatingObject()); frame; frame = frame->parentFrame()) {
        if (!frame->url().isEmpty() && frame->url() != QUrl(QStringLiteral("about:blank")))
            return frame->url();
    }
    return QUrl();
}

QString describe(const QList<QSslError> &errors)
{
    QStringList reasons;
    for (const QSslError &error : errors)
        reasons.append(error.errorString());
    reasons.removeDuplicates();
    return reasons.join(QStringLiteral("; "));
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
    _accessToken = accesstoken::sendable(accessToken);
}

void ZuvoWebKitNetworkManager::setTrust(const TrustedOriginList &origins, const CertificateRule &certificates)
{
    _trustedOrigins = origins;
    if (certificates.isStrict()) {
        // An open connection was let through once and is not asked again.
        clearConnectionCache();
    }
    _certificates = certificates;
}

void ZuvoWebKitNetworkManager::expectHostNavigation(const QUrl &address)
{
    _hostNavigation = comparableAddress(address);
    // Hops of loads the new address cancels lead nowhere now.
    _redirectHops.clear();
}

QString ZuvoWebKitNetworkManager::certificateRefusal(const QUrl &url) const
{
    return _refusedCertificates.value(comparableAddress(url));
}

bool ZuvoWebKitNetworkManager::mayCarryToken(const QNetworkRequest &request)
{
    const QUrl address = comparableAddress(request.url());
    const auto hop = _redirectHops.constFind(address);
    if (hop != _redirectHops.constEnd()) {
        const QUrl previousHopWithToken = hop.value();
        _redirectHops.erase(hop);
        return _trustedOrigins.mayCarryToken(address, previousHopWithToken, false);
    }
    const bool startedByHost = !_hostNavigation.isEmpty() && address == _hostNavigation;
    if (startedByHost)
        _hostNavigation.clear();
    return _trustedOrigins.mayCarryToken(address, initiatorOf(request), startedByHost);
}

void ZuvoWebKitNetworkManager::watchForRedirect(QNetworkReply *reply, bool carriedToken)
{
    // Connected before WebKit connects its own handler, so the hop is known
    // before WebKit asks for it.
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply, carriedToken] {
        const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        if (!target.isEmpty())
            _redirectHops.insert(comparableAddress(reply->url().resolved(target)), carriedToken ? reply->url() : QUrl());
    });
}

QNetworkReply *ZuvoWebKitNetworkManager::createRequest(Operation op,
                                                       const QNetworkRequest &request,
                                                       QIODevice *outgoingData)
{
    if (_accessToken.isEmpty())
        return QNetworkAccessManager::createRequest(op, request, outgoingData);
    if (!_trustedOrigins.isActive()) {
        QNetworkRequest withToken(request);
        withToken.setRawHeader(accesstoken::headerName(), _accessToken.toUtf8());
        return QNetworkAccessManager::createRequest(op, withToken, outgoingData);
    }
    const bool carriesToken = mayCarryToken(request);
    QNetworkRequest scoped(request);
    if (carriesToken)
        scoped.setRawHeader(accesstoken::headerName(), _accessToken.toUtf8());
    QNetworkReply *reply = QNetworkAccessManager::createRequest(op, scoped, outgoingData);
    watchForRedirect(reply, carriesToken);
    return reply;
}

void ZuvoWebKitNetworkManager::onSslErrors(QNetworkReply *reply, QList<QSslError> error)
{
    if (!reply)
        return;
    if (_certificates.acceptsDespiteErrors(reply->sslConfiguration().peerCertificate().toDer())) {
        reply->ignoreSslErrors();
        return;
    }
    const QString reason = describe(error);
    qCWarning(zuvoWeb).noquote() << "certificate refused for" << reply->url().host() + ":" << reason;
    _refusedCertificates.insert(comparableAddress(reply->url()), reason);
}
