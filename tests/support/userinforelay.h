#pragma once

#include "transport/messageframer.h"

#include <QByteArray>
#include <QLocalSocket>
#include <QObject>
#include <QString>

#include <functional>

namespace testsupport {

// Stands in for the window between a bridge and the host: sends each of the
// bridge's user-information queries to the host over a real local socket as
// "iq:currentuserinfo", and hands every "iq:currentuserinfoRes" reply's JSON
// to the bridge as soon as it is read.
class UserInfoRelay : public QObject
{
    Q_OBJECT

public:
    using Deliver = std::function<void(const QByteArray &json)>;

    // bridge: any object with a currentUserInfo(QString) signal.
    UserInfoRelay(QObject *bridge, Deliver deliver, QObject *parent = nullptr);

    bool connectTo(const QString &serverName, int timeoutMs = 5000);
    int queriesSent() const { return _queriesSent; }

private slots:
    void sendQuery(QString requestID);

private:
    void onReadyRead();

    QLocalSocket _socket;
    MessageFramer _framer;
    Deliver _deliver;
    int _queriesSent = 0;
};

} // namespace testsupport
