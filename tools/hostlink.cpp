#include "hostlink.h"

#include "transport/wirecodec.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalSocket>
#include <QTimer>

HostLink::HostLink(QObject *parent)
    : QObject(parent)
{
    connect(&_server, &QLocalServer::newConnection, this, &HostLink::onNewConnection);
}

HostLink::~HostLink()
{
    if (_client)
        _client->abort();
}

bool HostLink::listen(const QString &serverName)
{
    QLocalServer::removeServer(serverName);
    return _server.listen(serverName);
}

QString HostLink::serverName() const
{
    return _server.fullServerName();
}

bool HostLink::isConnected() const
{
    return _client && _client->state() == QLocalSocket::ConnectedState;
}

bool HostLink::waitForConnection(int timeoutMs)
{
    if (isConnected())
        return true;
    QEventLoop loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    connect(this, &HostLink::connected, &loop, &QEventLoop::quit);
    loop.exec();
    return isConnected();
}

void HostLink::closeConnection()
{
    if (_client)
        _client->disconnectFromServer();
}

void HostLink::holdReading(bool held)
{
    _readingHeld = held;
    if (!_client)
        return;
    // A full read buffer turns the socket's read notifier off; 0 is unlimited.
    _client->setReadBufferSize(held ? 1 : 0);
    if (!held)
        onReadyRead();
}

void HostLink::sendRaw(const QByteArray &bytes)
{
    if (_client)
        _client->write(bytes);
}

void HostLink::send(const QString &group, const QString &command, const QByteArray &payload)
{
    sendRaw(wirecodec::encode(group, command, payload));
}

void HostLink::sendText(const QString &group, const QString &command, const QString &text)
{
    send(group, command, text.toUtf8());
}

QList<HostLink::Message> HostLink::receivedCommands(const QString &command) const
{
    QList<Message> matching;
    for (const Message &message : _received) {
        if (message.command == command)
            matching.append(message);
    }
    return matching;
}

void HostLink::onNewConnection()
{
    QLocalSocket *socket = _server.nextPendingConnection();
    if (!socket)
        return;
    if (_client) {
        // One browser per endpoint; a second connection is refused.
        socket->abort();
        socket->deleteLater();
        return;
    }
    _client = socket;
    _framer.clear();
    if (_readingHeld)
        socket->setReadBufferSize(1);
    connect(socket, &QLocalSocket::readyRead, this, &HostLink::onReadyRead);
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
        socket->deleteLater();
        emit disconnected();
    });
    emit connected();
}

void HostLink::onReadyRead()
{
    if (!_client || _readingHeld)
        return;
    const QStringList messages = _framer.append(_client->readAll());
    for (const QString &text : messages) {
        const wirecodec::Message decoded = wirecodec::decode(text);
        const Message message{decoded.group, decoded.command, decoded.payload};
        _received.append(message);
        emit messageReceived(message);
    }
}
