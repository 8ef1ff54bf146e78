#include "browserrun.h"

#include "testsupport.h"
#include "transport/transport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>

BrowserRun::BrowserRun(const QString &executable, QObject *parent)
    : QObject(parent)
    , _executable(executable)
{
    connect(&_host, &HostLink::messageReceived, this, &BrowserRun::onMessage);
}

BrowserRun::~BrowserRun()
{
    if (_process.state() == QProcess::NotRunning) {
        reportFailure();
        return;
    }
    _host.closeConnection();
    if (!_process.waitForFinished(5000)) {
        _process.kill();
        _process.waitForFinished();
    }
}

void BrowserRun::reportFailure()
{
    if (_process.exitStatus() == QProcess::NormalExit && _process.exitCode() == 0)
        return;
    // A test sees only that the window stopped answering; what the browser
    // wrote last (a sanitizer's report, a failed assertion) says why.
    qWarning().noquote() << "the browser ended" << _process.exitStatus() << "with code" << _process.exitCode()
                         << "; the end of what it wrote:\n"
                         << QString::fromLocal8Bit(_process.readAllStandardError().right(4000));
}

QString BrowserRun::underTest()
{
    const QString chosen = qEnvironmentVariable("ZUVO_TEST_BROWSER");
    return chosen.isEmpty() ? QStringLiteral(ZUVO_BROWSER_PATH) : chosen;
}

bool BrowserRun::underTestHasPageProcess()
{
    const QString name = QFileInfo(underTest()).fileName();
    return name.endsWith(QLatin1String("-webengine")) || name.endsWith(QLatin1String("-webkitgtk"));
}

QString BrowserRun::copyInto(const QTemporaryDir &dir)
{
    const QString executable = underTest();
    const QString copy = dir.filePath(QFileInfo(executable).fileName());
    if (!QFile::copy(executable, copy))
        return QString();
    return copy;
}

QString BrowserRun::endpointOf(const QString &executable)
{
    return transport::serverNameFor(QFileInfo(executable).canonicalPath());
}

bool BrowserRun::start(int timeoutMs)
{
    if (!_host.listen(endpointOf(_executable)))
        return false;
    _process.start(_executable, QStringList());
    return _process.waitForStarted(timeoutMs) && _host.waitForConnection(timeoutMs);
}

void BrowserRun::send(const QString &group, const QString &command, const QString &text)
{
    _host.sendText(group, command, text);
}

void BrowserRun::sendAndMirror(const QString &group, const QString &command, const QString &text)
{
    send(group, command, text);
    transport::shareInstance()->receiveBytes(testsupport::wire(group, command, text));
}

void BrowserRun::configure(const HostSettings &settings)
{
    for (const auto &setting : settings)
        sendAndMirror(QStringLiteral("config"), setting.first, setting.second);
}

void BrowserRun::showUrl(const QUrl &url)
{
    // Never mirrored: here it would open a window in the test process.
    send(QStringLiteral("event"), QStringLiteral("showUrl"), url.toString());
}

x11::WindowId BrowserRun::waitForWindow(int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    do {
        const QList<x11::WindowId> windows = x11::visibleWindowsOf(pid());
        if (!windows.isEmpty())
            return windows.first();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    } while (!deadline.hasExpired());
    return 0;
}

QStringList BrowserRun::texts(const QString &command) const
{
    QStringList found;
    for (const HostLink::Message &message : _host.receivedCommands(command))
        found.append(message.text());
    return found;
}

QString BrowserRun::lastText(const QString &command) const
{
    const QStringList found = texts(command);
    return found.isEmpty() ? QString() : found.last();
}

void BrowserRun::answerUserInfo(const QString &info)
{
    _userInfo = info;
    _answersUserInfo = true;
}

void BrowserRun::onMessage(const HostLink::Message &message)
{
    if (!_answersUserInfo || message.group != QLatin1String("iq") ||
        message.command != QLatin1String("currentuserinfo"))
        return;
    const QJsonObject reply{{QStringLiteral("key"), message.text()}, {QStringLiteral("info"), _userInfo}};
    _host.send(QStringLiteral("iq"), QStringLiteral("currentuserinfoRes"),
               QJsonDocument(reply).toJson(QJsonDocument::Compact));
}
