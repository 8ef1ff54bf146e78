#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The reference host as a process, its standard output collected by line.
class ZuvoHostRun
{
public:
    explicit ZuvoHostRun(const QStringList &arguments,
                         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    ~ZuvoHostRun();

    QProcess &process() { return _process; }
    void type(const QByteArray &line) { _process.write(line + '\n'); }

    QStringList lines();
    bool printed(const QString &line) { return lines().contains(line); }
    QString firstLineStartingWith(const QString &prefix);
    QStringList linesStartingWith(const QString &prefix);
    // The browser's process id from the host's status line; 0 before it.
    qint64 browserPid();

private:
    QProcess _process;
    QByteArray _output;
};
