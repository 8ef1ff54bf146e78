#include "userinforelay.h"

#include "transport/transport.h"
#include "zwProtoc.h"

namespace testsupport {

namespace iq = zuvo_web_protoc::zuvo_web_protoc_5_iq;

UserInfoRelay::UserInfoRelay(QObject *bridge, Deliver deliver, QObject *parent)
    : QObject(parent)
    , _deliver(std::move(deliver))
{
    connect(bridge, SIGNAL(currentUserInfo(QString)), this, SLOT(sendQuery(QString)));
    connect(&_socket, &QLocalSocket::readyRead, this, &UserInfoRelay::onReadyRead);
}

bool UserInfoRelay::connectTo(const QString &serverName, int timeoutMs)
{
    _socket.connectToServer(serverName);
    return _socket.waitForConnected(timeoutMs);
}

void UserInfoRelay::sendQuery(QString requestID)
{
    ++_queriesSent;
    _socket.write(transport::encodeMessage(iq::prefix, iq::_10_currentUserInfo, requestID));
    _socket.flush();
}

void UserInfoRelay::onReadyRead()
{
    const QStringList messages = _framer.append(_socket.readAll());
    for (const QString &message : messages) {
        const QStringList fields = message.split(QLatin1Char(':'));
        if (fields.value(0) == iq::prefix && fields.value(1) == iq::_11_currentUserInfo)
            _deliver(QByteArray::fromBase64(fields.value(2).toLatin1()));
    }
}

} // namespace testsupport
