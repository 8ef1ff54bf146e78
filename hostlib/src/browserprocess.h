#pragma once

#include <ZuvoBrowserHost/browserhost.h>

#include "qtcompat_p.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

namespace Zuvo {

// The browser as a child process: started in a process group of its own, so a
// Ctrl-C in the host's terminal reaches only the host, which then ends the
// link in order, and with no standard input, so it never reads what is meant
// for the host.
class BrowserProcess : public QObject
{
    Q_OBJECT

public:
    explicit BrowserProcess(QObject *parent = nullptr);
    // Kills a browser still running and waits for it.
    ~BrowserProcess() override;

    void setOutput(BrowserHost::BrowserOutput output) { _output = output; }
    void start(const QString &program);
    bool isRunning() const;
    // 0 while no browser runs.
    qint64 processId() const { return _process.processId(); }
    // Kills the browser unless it has exited within the given time.
    void killUnlessExitedWithin(int milliseconds);
    void kill();

signals:
    void started(qint64 processId);
    void failedToStart(const QString &reason);
    void finished(int exitCode, QProcess::ExitStatus status);
    void outputLine(const QString &line);
    void killing();

private:
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void forward(QByteArray *pending, const QByteArray &bytes);
    // Passes an unfinished last line on too.
    void flushPending(QByteArray *pending, const QByteArray &rest);

    BrowserHost::BrowserOutput _output = BrowserHost::BrowserOutput::Forwarded;
    ChildSetupProcess _process;
    QTimer _killTimer;
    QByteArray _pendingOut;
    QByteArray _pendingErr;
};

} // namespace Zuvo
