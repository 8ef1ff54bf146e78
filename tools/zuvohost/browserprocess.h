#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

// The browser as a child process: started in a process group of its own, so a
// Ctrl-C in the terminal reaches only the host, which then ends the link in
// order; its standard output and error are forwarded line by line with a
// "browser: " prefix, or dropped.
class BrowserProcess : public QObject
{
    Q_OBJECT

public:
    enum class Output { Forward, Quiet };

    explicit BrowserProcess(Output output, QObject *parent = nullptr);

    void start(const QString &program);
    bool isRunning() const;
    // Kills the browser unless it has exited within the given time.
    void killUnlessExitedWithin(int milliseconds);
    void kill();

    // The code a shell would report: the exit code, or 128 plus the signal
    // number when the browser died of a signal.
    static int shellExitCode(int exitCode, QProcess::ExitStatus status);

signals:
    void started(qint64 processId);
    // hostExitCode is what the host should exit with; description says why.
    void finished(int hostExitCode, const QString &description);

private:
    class Process : public QProcess
    {
    public:
        using QProcess::QProcess;

    protected:
        void setupChildProcess() override;
    };

    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onError(QProcess::ProcessError error);
    void forward(QByteArray *pending, const QByteArray &bytes);
    // Prints an unfinished last line too.
    void flushPending(QByteArray *pending, const QByteArray &rest);

    Output _output;
    Process _process;
    QTimer _killTimer;
    QByteArray _pendingOut;
    QByteArray _pendingErr;
};
