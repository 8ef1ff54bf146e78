#pragma once

#include <QList>
#include <QNetworkAccessManager>
#include <QSslError>
#include <QString>

class QNetworkReply;

// The page's network access: every request it creates carries the host's
// access token, and certificate problems never stop a load.
class ZuvoWebKitNetworkManager : public QNetworkAccessManager
{
    Q_OBJECT

public:
    explicit ZuvoWebKitNetworkManager(QObject *parent);

    // Reaches only requests created after the call. A token holding a control
    // character (a line break above all) is dropped: requests then go without it.
    void setAccessToken(QString accessToken);

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request,
                                 QIODevice *outgoingData) override;

private slots:
    void onSslErrors(QNetworkReply *reply, QList<QSslError> error);

private:
    QString _accessToken;
};
