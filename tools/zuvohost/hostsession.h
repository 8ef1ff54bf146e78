#pragma once

#include "commandinterpreter.h"
#include "hostconfig.h"
#include "hostmessage.h"
#include "hostoptions.h"
#include "webfileservice.h"

#include <ZuvoBrowserHost/browserhost.h>

#include <QObject>
#include <QStringList>
#include <QTimer>

// One run of the host on the host library: listens on the browser's endpoint, starts the browser,
// configures it once it connects, prints and answers what it sends, and runs
// the commands read from the input. Commands that arrive before the browser
// is configured wait, in order, so a script may be piped in from the start.
class HostSession : public QObject
{
    Q_OBJECT

public:
    static const int exitGraceMilliseconds = 5000;

    HostSession(const HostOptions &options, const HostConfig &config, QObject *parent = nullptr);

    // Reads the download history given on the command line, if any; returns
    // false, with error set, when it exists but cannot be read.
    bool openHistory(QString *error);
    // Returns false, with error set, if the endpoint cannot be listened on.
    bool start(QString *error);

    void handleLine(const QString &line);
    void handleEndOfInput();
    // Closes the link so the browser ends by itself; asked twice, kills it.
    void shutDown(const QString &reason);
    // Whether the host asked the browser to end (quit, a signal, the end of
    // input), rather than the browser ending on its own.
    bool isShuttingDown() const { return _shuttingDown; }

signals:
    void finished(int exitCode);

private:
    bool isReady() const;
    void onBrowserConnected();
    void onBrowserMessage(const HostMessage &message);
    void onBrowserDisconnected();
    void onBrowserFinished(int exitCode, QProcess::ExitStatus status);
    void onBrowserFailedToStart(const QString &reason);
    void sendConfiguration();
    void sendToBrowser(const QByteArray &wire);
    void runQueuedLines();
    void run(const HostCommand &command);

    HostOptions _options;
    HostConfig _config;
    Zuvo::BrowserHost _browser;
    WebFileService _webFiles;
    QStringList _queuedLines;
    QTimer _sleepTimer;
    bool _configured = false;
    bool _disconnected = false;
    bool _inputEnded = false;
    bool _shuttingDown = false;
};
