#pragma once

#include "trustedorigins.h"

#include <QHash>
#include <QList>
#include <QNetworkAccessManager>
#include <QSslError>
#include <QString>
#include <QUrl>

class QNetworkReply;

// The page's network access: requests carry the host's access token, and
// certificate problems never stop a load, until the host narrows either
// with its trusted origins and its strict certificates.
class ZuvoWebKitNetworkManager : public QNetworkAccessManager
{
    Q_OBJECT

public:
    explicit ZuvoWebKitNetworkManager(QObject *parent);

    // Reaches only requests created after the call. A token holding a control
    // character (a line break above all) is dropped: requests then go without it.
    void setAccessToken(QString accessToken);
    void setTrust(const TrustedOriginList &origins, const CertificateRule &certificates);
    // The next request for this address is the one the window makes for the
    // host, not one a page started.
    void expectHostNavigation(const QUrl &address);
    // Why the certificate of this address was refused; empty when it was not.
    QString certificateRefusal(const QUrl &url) const;

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request,
                                 QIODevice *outgoingData) override;

private slots:
    void onSslErrors(QNetworkReply *reply, QList<QSslError> error);

private:
    bool mayCarryToken(const QNetworkRequest &request);
    void watchForRedirect(QNetworkReply *reply, bool carriedToken);

    QString _accessToken;
    TrustedOriginList _trustedOrigins;
    CertificateRule _certificates;
    QUrl _hostNavigation;
    // Where a redirect leads, and the hop that led there when it carried the
    // token (empty when it did not): WebKit asks for each hop anew.
    QHash<QUrl, QUrl> _redirectHops;
    QHash<QUrl, QString> _refusedCertificates;
};
