#include "browserprocess.h"

#include <unistd.h>

namespace Zuvo {

BrowserProcess::BrowserProcess(QObject *parent)
    : QObject(parent)
    , _process([] { ::setpgid(0, 0); })
{
    _process.setStandardInputFile(QProcess::nullDevice());
    connect(&_process, &QProcess::readyReadStandardOutput, this,
            [this] { forward(&_pendingOut, _process.readAllStandardOutput()); });
    connect(&_process, &QProcess::readyReadStandardError, this,
            [this] { forward(&_pendingErr, _process.readAllStandardError()); });
    connect(&_process, &QProcess::started, this, [this] { emit started(_process.processId()); });
    connect(&_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this, &BrowserProcess::onFinished);
    connect(&_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit failedToStart(_process.errorString());
    });

    _killTimer.setSingleShot(true);
    connect(&_killTimer, &QTimer::timeout, this, [this] {
        if (!isRunning())
            return;
        emit killing();
        kill();
    });
}

BrowserProcess::~BrowserProcess()
{
    if (!isRunning())
        return;
    _process.disconnect(this);
    _process.kill();
    _process.waitForFinished(5000);
}

void BrowserProcess::start(const QString &program)
{
    switch (_output) {
    case BrowserHost::BrowserOutput::Forwarded:
        _process.setProcessChannelMode(QProcess::ForwardedChannels);
        break;
    case BrowserHost::BrowserOutput::Discarded:
        _process.setStandardOutputFile(QProcess::nullDevice());
        _process.setStandardErrorFile(QProcess::nullDevice());
        break;
    case BrowserHost::BrowserOutput::Lines:
        _process.setProcessChannelMode(QProcess::SeparateChannels);
        break;
    }
    _process.start(program, QStringList());
}

bool BrowserProcess::isRunning() const
{
    return _process.state() != QProcess::NotRunning;
}

void BrowserProcess::killUnlessExitedWithin(int milliseconds)
{
    if (isRunning() && !_killTimer.isActive())
        _killTimer.start(milliseconds);
}

void BrowserProcess::kill()
{
    _process.kill();
}

void BrowserProcess::onFinished(int exitCode, QProcess::ExitStatus status)
{
    _killTimer.stop();
    if (_output == BrowserHost::BrowserOutput::Lines) {
        flushPending(&_pendingOut, _process.readAllStandardOutput());
        flushPending(&_pendingErr, _process.readAllStandardError());
    }
    emit finished(exitCode, status);
}

void BrowserProcess::forward(QByteArray *pending, const QByteArray &bytes)
{
    pending->append(bytes);
    int start = 0;
    for (int end = pending->indexOf('\n'); end >= 0; end = pending->indexOf('\n', start)) {
        emit outputLine(QString::fromLocal8Bit(pending->mid(start, end - start)));
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

} // namespace Zuvo
