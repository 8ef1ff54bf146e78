#include "zuvohostrun.h"

ZuvoHostRun::ZuvoHostRun(const QStringList &arguments, const QProcessEnvironment &environment)
{
    _process.setProcessEnvironment(environment);
    _process.setProcessChannelMode(QProcess::SeparateChannels);
    _process.start(QStringLiteral(ZUVO_HOST_PATH), arguments);
}

ZuvoHostRun::~ZuvoHostRun()
{
    if (_process.state() != QProcess::NotRunning) {
        _process.kill();
        _process.waitForFinished();
    }
}

QStringList ZuvoHostRun::lines()
{
    _output += _process.readAllStandardOutput();
    return QString::fromUtf8(_output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString ZuvoHostRun::firstLineStartingWith(const QString &prefix)
{
    return linesStartingWith(prefix).value(0);
}

QStringList ZuvoHostRun::linesStartingWith(const QString &prefix)
{
    QStringList matching;
    for (const QString &line : lines()) {
        if (line.startsWith(prefix))
            matching.append(line);
    }
    return matching;
}

qint64 ZuvoHostRun::browserPid()
{
    const QString prefix = QStringLiteral("host: browser started, pid ");
    return firstLineStartingWith(prefix).mid(prefix.size()).toLongLong();
}
