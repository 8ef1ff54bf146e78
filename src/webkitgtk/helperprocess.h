#pragma once

#include "helpermessages.h"

#include <QObject>
#include <QStringList>

#include <optional>

class QLocalSocket;

// A field of the helper's message as the browser reads it.
inline QString messageField(const helpermessages::Message &message, size_t index)
{
    return QString::fromStdString(message.field(index));
}

// The page's helper program, started beside the browser, drawing on the
// browser's compositor and talked to over a socket pair that is its stdin and
// stdout. That socket closing ends the helper, so it never outlives the
// browser, and tells this side when the helper has ended.
class HelperProcess : public QObject
{
    Q_OBJECT

public:
    // A helper started before the application exists: its compositor socket
    // already listens, and the compositor takes it over once there is one.
    struct Early {
        qint64 pid = 0;
        int channel = -1;
        int listeningSocket = -1;
        QString socketPath;
    };

    explicit HelperProcess(QObject *parent = nullptr);
    ~HelperProcess() override;

    // Starts a helper at once, so the engine's own slow start runs while the
    // browser's does; the first page takes it with takeEarly().
    static void startEarly(bool sandbox);
    static std::optional<Early> takeEarly();

    // With sandbox, WebKit's page processes run in bubblewrap; the helper
    // must know before its first page process starts.
    bool start(const QString &waylandDisplay, bool sandbox);
    void adopt(const Early &early);
    void send(const char *name, const QStringList &fields = {});
    void send(const char *name, const std::vector<std::string> &fields);
    qint64 processId() const;
    bool isRunning() const;

    // Where the helper and the web process extension are looked for.
    static QString helperPath();
    static QString extensionFolder();

signals:
    void received(const helpermessages::Message &message);
    void ended();

private:
    void attach(qint64 pid, int channel);
    void readMessages();
    void onChannelClosed();
    bool reap();

    QLocalSocket *_channel = nullptr;
    qint64 _pid = 0;
    bool _running = false;
    helpermessages::Framer _framer;
};
