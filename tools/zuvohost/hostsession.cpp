#include "hostsession.h"

#include "browserreplies.h"
#include "console.h"
#include "zwProtoc.h"

#include <QDir>

namespace event = zuvo_web_protoc::zuvo_web_protoc_2_event;

namespace {

// What a shell reports for a program it could not start.
const int cannotStartExitCode = 127;

// The code a shell would report: the exit code, or 128 plus the signal number
// when the browser died of a signal (QProcess then gives the signal as code).
int shellExitCode(int exitCode, QProcess::ExitStatus status)
{
    return status == QProcess::CrashExit ? 128 + exitCode : exitCode;
}

} // namespace

HostSession::HostSession(const HostOptions &options, const HostConfig &config, QObject *parent)
    : QObject(parent)
    , _options(options)
    , _config(config)
    , _webFiles(_browser.standardDownloadService())
{
    _browser.setBrowserOutput(options.quietBrowser ? Zuvo::BrowserHost::BrowserOutput::Discarded
                                                   : Zuvo::BrowserHost::BrowserOutput::Lines);
    _sleepTimer.setSingleShot(true);
    connect(&_sleepTimer, &QTimer::timeout, this, &HostSession::runQueuedLines);
    connect(&_browser, &Zuvo::BrowserHost::listening, this,
            [](const QString &endpoint) { console::printStatus(QStringLiteral("listening on ") + endpoint); });
    connect(&_browser, &Zuvo::BrowserHost::browserStarted, this,
            [](qint64 pid) { console::printStatus(QStringLiteral("browser started, pid %1").arg(pid)); });
    connect(&_browser, &Zuvo::BrowserHost::browserOutputLine, this,
            [](const QString &line) { console::printDiagnostic(QStringLiteral("browser: ") + line); });
    connect(&_browser, &Zuvo::BrowserHost::killingBrowser, this,
            [] { console::printStatus(QStringLiteral("browser has not exited, killing it")); });
    connect(&_browser, &Zuvo::BrowserHost::browserFinished, this, &HostSession::onBrowserFinished);
    connect(&_browser, &Zuvo::BrowserHost::browserFailedToStart, this, &HostSession::onBrowserFailedToStart);
    connect(&_browser, &Zuvo::BrowserHost::connected, this, &HostSession::onBrowserConnected);
    connect(&_browser, &Zuvo::BrowserHost::disconnected, this, &HostSession::onBrowserDisconnected);
    connect(&_browser, &Zuvo::BrowserHost::messageReceived, this,
            [this](const QString &group, const QString &command, const QByteArray &payload) {
                onBrowserMessage({group, command, payload});
            });
    connect(&_browser, &Zuvo::BrowserHost::userInfoRequested, this,
            [this](const QString &key) { _browser.answerUserInfo(key, _config.userInfo()); });
}

bool HostSession::openHistory(QString *error)
{
    return _options.historyPath.isEmpty() || _webFiles.openHistory(_options.historyPath, error);
}

bool HostSession::start(QString *error)
{
    return _browser.start(_options.browserPath, error);
}

void HostSession::handleLine(const QString &line)
{
    _queuedLines.append(line);
    runQueuedLines();
}

void HostSession::handleEndOfInput()
{
    console::printStatus(QStringLiteral("end of input"));
    _inputEnded = true;
    runQueuedLines();
}

void HostSession::shutDown(const QString &reason)
{
    if (_shuttingDown) {
        console::printStatus(QStringLiteral("killing the browser (%1)").arg(reason));
        _browser.kill();
        return;
    }
    _shuttingDown = true;
    _queuedLines.clear();
    console::printStatus(QStringLiteral("closing link (%1)").arg(reason));
    _browser.end(exitGraceMilliseconds);
}

bool HostSession::isReady() const
{
    return _configured && !_sleepTimer.isActive() && !_shuttingDown;
}

void HostSession::onBrowserConnected()
{
    console::printStatus(QStringLiteral("browser connected"));
    sendConfiguration();
    _configured = true;
    runQueuedLines();
}

void HostSession::sendConfiguration()
{
    QByteArray wire = wireOf(_config.messages());
    if (!_options.url.isEmpty())
        wire += HostMessage::text(event::prefix, event::_20_showUrl, _options.url).wire();
    sendToBrowser(wire);
}

void HostSession::sendToBrowser(const QByteArray &wire)
{
    // Downloads go out with the token the browser was given for its pages.
    if (const auto token = accessTokenSentIn(wire))
        _webFiles.setAccessToken(*token);
    _browser.sendRaw(wire);
}

void HostSession::onBrowserMessage(const HostMessage &message)
{
    // The library answers what it can (downloads, and user information
    // through userInfoRequested); the session prints every message first.
    console::printMessage(browserreplies::messageLine(message));
}

void HostSession::onBrowserDisconnected()
{
    _disconnected = true;
    console::printStatus(QStringLiteral("browser disconnected"));
}

void HostSession::onBrowserFinished(int exitCode, QProcess::ExitStatus status)
{
    console::printStatus(status == QProcess::CrashExit ? QStringLiteral("browser ended by signal %1").arg(exitCode)
                                                       : QStringLiteral("browser exited with code %1").arg(exitCode));
    emit finished(shellExitCode(exitCode, status));
}

void HostSession::onBrowserFailedToStart(const QString &reason)
{
    console::printStatus(QStringLiteral("browser could not be started: ") + reason);
    emit finished(cannotStartExitCode);
}

void HostSession::runQueuedLines()
{
    while (isReady() && !_queuedLines.isEmpty())
        run(interpretCommand(_queuedLines.takeFirst(), QDir::current()));
    if (isReady() && _inputEnded && _options.exitOnEndOfInput)
        shutDown(QStringLiteral("end of input"));
}

void HostSession::run(const HostCommand &command)
{
    switch (command.kind) {
    case HostCommand::Kind::Nothing:
        break;
    case HostCommand::Kind::Send:
        if (_disconnected)
            console::printError(QStringLiteral("the browser is not connected"));
        else
            sendToBrowser(command.wire);
        break;
    case HostCommand::Kind::SetUserInfo:
        _config.setUserInfo(command.text);
        break;
    case HostCommand::Kind::Sleep:
        _sleepTimer.start(command.milliseconds);
        break;
    case HostCommand::Kind::Quit:
        shutDown(QStringLiteral("quit"));
        break;
    case HostCommand::Kind::Help:
        console::printDiagnostic(commandHelp());
        break;
    case HostCommand::Kind::Invalid:
        console::printError(command.text);
        break;
    }
}
