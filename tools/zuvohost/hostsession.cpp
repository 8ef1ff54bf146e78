#include "hostsession.h"

#include "browserreplies.h"
#include "console.h"
#include "zwProtoc.h"

#include <QDir>

namespace event = zuvo_web_protoc::zuvo_web_protoc_2_event;

HostSession::HostSession(const HostOptions &options, const HostConfig &config, QObject *parent)
    : QObject(parent)
    , _options(options)
    , _config(config)
    , _browser(options.quietBrowser ? BrowserProcess::Output::Quiet : BrowserProcess::Output::Forward)
{
    _sleepTimer.setSingleShot(true);
    connect(&_sleepTimer, &QTimer::timeout, this, &HostSession::runQueuedLines);
    connect(&_link, &HostLink::connected, this, &HostSession::onBrowserConnected);
    connect(&_link, &HostLink::messageReceived, this, &HostSession::onBrowserMessage);
    connect(&_link, &HostLink::disconnected, this, &HostSession::onBrowserDisconnected);
    connect(&_browser, &BrowserProcess::started, this,
            [](qint64 pid) { console::printStatus(QStringLiteral("browser started, pid %1").arg(pid)); });
    connect(&_browser, &BrowserProcess::finished, this, &HostSession::onBrowserFinished);
}

bool HostSession::openHistory(QString *error)
{
    return _options.historyPath.isEmpty() || _webFiles.openHistory(_options.historyPath, error);
}

bool HostSession::start(QString *error)
{
    const QString endpoint = endpointForBrowser(_options.browserPath);
    if (!_link.listen(endpoint)) {
        *error = QStringLiteral("cannot listen on %1").arg(endpoint);
        return false;
    }
    console::printStatus(QStringLiteral("listening on ") + endpoint);
    _browser.start(_options.browserPath);
    return true;
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
    _link.closeConnection();
    _browser.killUnlessExitedWithin(exitGraceMilliseconds);
}

bool HostSession::isReady() const
{
    return _configured && !_sleepTimer.isActive() && !_shuttingDown;
}

void HostSession::onBrowserConnected()
{
    if (_shuttingDown) {
        // Too late: a browser that connects now is sent away at once.
        _link.closeConnection();
        return;
    }
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
    _link.sendRaw(wire);
}

void HostSession::onBrowserMessage(const HostLink::Message &message)
{
    // The session prints and forgets; nothing needs the link's history.
    _link.clearReceived();
    console::printMessage(browserreplies::messageLine(message));
    const auto reply = WebFileService::isRequest(message) ? _webFiles.handle(message)
                                                          : browserreplies::replyTo(message, _config.userInfo());
    if (reply)
        _link.sendRaw(reply->wire());
}

void HostSession::onBrowserDisconnected()
{
    _disconnected = true;
    console::printStatus(QStringLiteral("browser disconnected"));
}

void HostSession::onBrowserFinished(int exitCode, const QString &description)
{
    console::printStatus(description);
    emit finished(exitCode);
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
