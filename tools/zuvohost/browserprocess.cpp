#include "browserprocess.h"

#include "console.h"

#include <unistd.h>

namespace {

// What a shell reports for a program it could not start.
const int cannotStartExitCode = 127;

} // namespace

void BrowserProcess::Process::setupChildProcess()
{
    ::setpgid(0, 0);
}

BrowserProcess::BrowserProcess(Output output, QObject *parent)
    : QObject(parent)
    , _output(output)
{
    // The browser must not read the commands meant for the host.
    _process.setStandardInputFile(QProcess::nullDevice());
    if (output == Output::Quiet) {
        _process.setStandardOutputFile(QProcess::nullDevice());
        _process.setStandardErrorFile(QProcess::nullDevice());
    }
    connect(&_process, &QProcess::readyReadStandardOutput, this,
            [this] { forward(&_pendingOut, _process.readAllStandardOutput()); });
    connect(&_process, &QProcess::readyReadStandardError, this,
            [this] { forward(&_pendingErr, _process.readAllStandardError()); });
    connect(&_process, &QProcess::started, this, [this] { emit started(_process.processId()); });
    connect(&_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this, &BrowserProcess::onFinished);
    connect(&_process, &QProcess::errorOccurred, this, &BrowserProcess::onError);

    _killTimer.setSingleShot(true);
    connect(&_killTimer, &QTimer::timeout, this, [this] {
        if (!isRunning())
            return;
        console::printStatus(QStringLiteral("browser has not exited, killing it"));
        kill();
    });
}

void BrowserProcess::start(const QString &program)
{
    _process.start(program, QStringList());
}

bool BrowserProcess::isRunning() const
{
    return _process.state() != QProcess::NotRunning;
}

void BrowserProcess::killUnlessExitedWithin(int milliseconds)
{
    if (!_killTimer.isActive())
        _killTimer.start(milliseconds);
}

void BrowserProcess::kill()
{
    _process.kill();
}

int BrowserProcess::shellExitCode(int exitCode, QProcess::ExitStatus status)
{
    // After a crash QProcess reports the number of the signal as exit code.
    return status == QProcess::CrashExit ? 128 + exitCode : exitCode;
}

void BrowserProcess::onFinished(int exitCode, QProcess::ExitStatus status)
{
    _killTimer.stop();
    if (_output == Output::Forward) {
        flushPending(&_pendingOut, _process.readAllStandardOutput());
        flushPending(&_pendingErr, _process.readAllStandardError());
    }
    const QString description = status == QProcess::CrashExit
                                    ? QStringLiteral("browser ended by signal %1").arg(exitCode)
                                    : QStringLiteral("browser exited with code %1").arg(exitCode);
    emit finished(shellExitCode(exitCode, status), description);
}

void BrowserProcess::onError(QProcess::ProcessError error)
{
    if (error == QProcess::FailedToStart)
        emit finished(cannotStartExitCode, QStringLiteral("browser could not be started: ") + _process.errorString());
}

void BrowserProcess::forward(QByteArray *pending, const QByteArray &bytes)
{
    pending->append(bytes);
    int start = 0;
    for (int end = pending->indexOf('\n'); end >= 0; end = pending->indexOf('\n', start)) {
        console::printDiagnostic(QStringLiteral("browser: ") + QString::fromLocal8Bit(pending->mid(start, end - start)));
        start = end + 1;
    }
    pending->remove(0, start);
}

void BrowserProcess::flushPending(QByteArray *pending, const QByteArray &rest)
{
    forward(pending, rest);
    if (!pending->isEmpty())
        forward(pending, "\n");
}
