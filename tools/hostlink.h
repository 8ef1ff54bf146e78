#pragma once

#include "transport/messageframer.h"

#include <QByteArray>
#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QString>

class QLocalSocket;

// The host's end of the link: listens on an endpoint, takes one browser
// connection, decodes what the browser says and sends commands to it.
class HostLink : public QObject
{
    Q_OBJECT

public:
    struct Message {
        QString group;
        QString command;
        QByteArray payload; // Base64-decoded
        QString text() const { return QString::fromUtf8(payload); }
    };

    explicit HostLink(QObject *parent = nullptr);
    ~HostLink() override;

    // Removes a stale socket file first, as a host restarting on the same
    // endpoint must.
    bool listen(const QString &serverName);
    QString serverName() const;

    bool isConnected() const;
    bool waitForConnection(int timeoutMs);
    void closeConnection();

    // A busy host: while held, nothing is read, not even into this process's
    // buffers, so what the browser sends waits on the browser's side.
    void holdReading(bool held);

    void sendRaw(const QByteArray &bytes);
    void send(const QString &group, const QString &command, const QByteArray &payload);
    void sendText(const QString &group, const QString &command, const QString &text);

    const QList<Message> &received() const { return _received; }
    void clearReceived() { _received.clear(); }
    // Messages of this command received so far.
    QList<Message> receivedCommands(const QString &command) const;

signals:
    void connected();
    void messageReceived(const HostLink::Message &message);
    void disconnected();

private:
    void onNewConnection();
    void onReadyRead();

    QLocalServer _server;
    QPointer<QLocalSocket> _client;
    MessageFramer _framer;
    bool _readingHeld = false;
    QList<Message> _received;
};
