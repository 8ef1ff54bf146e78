#include "commandinterpreter.h"

#include "hostconfig.h"
#include "hostmessage.h"
#include "settingencoder.h"
#include "zwProtoc.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace event = zuvo_web_protoc::zuvo_web_protoc_2_event;

namespace {

struct Split {
    QString head;
    QString tail;
};

// The tail keeps everything after the first space as it was typed: payloads
// of "raw", "send" and "message" are sent exactly.
Split splitFirst(const QString &text)
{
    const int space = text.indexOf(QLatin1Char(' '));
    if (space < 0)
        return {text, QString()};
    return {text.left(space), text.mid(space + 1)};
}

HostCommand invalid(const QString &why)
{
    HostCommand command;
    command.kind = HostCommand::Kind::Invalid;
    command.text = why;
    return command;
}

HostCommand sending(const QByteArray &wire)
{
    HostCommand command;
    command.kind = HostCommand::Kind::Send;
    command.wire = wire;
    return command;
}

HostCommand ofKind(HostCommand::Kind kind)
{
    HostCommand command;
    command.kind = kind;
    return command;
}

HostCommand sendEvent(const QString &name, const QString &text)
{
    return sending(HostMessage::text(event::prefix, name, text).wire());
}

// A value that reads as JSON is taken as JSON ([1,2,3,4], 40, "text"); anything
// else is a plain text, which also covers the wire's own "1,2,3,4" form.
QJsonValue settingValue(const QString &text)
{
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray("[") + text.toUtf8() + ']');
    if (document.isArray() && document.array().size() == 1)
        return document.array().first();
    return QJsonValue(text);
}

HostCommand configCommand(const QString &arguments, const QDir &workingDir)
{
    const Split split = splitFirst(arguments.trimmed());
    if (split.head.isEmpty())
        return invalid(QStringLiteral("config needs a setting name"));
    const QJsonValue value = settingValue(split.tail.trimmed());
    if (split.head == HostConfig::userInfoKey) {
        HostCommand command = ofKind(HostCommand::Kind::SetUserInfo);
        command.text = HostConfig::userInfoText(value);
        return command;
    }
    QString error;
    const auto message = settingencoder::encodeSetting(split.head, value, workingDir, &error);
    return message ? sending(message->wire()) : invalid(error);
}

HostCommand buttonCommand(const QString &arguments)
{
    static const QHash<QString, QString> events = {
        {QStringLiteral("share"), event::_42_updateShareToFriend},
        {QStringLiteral("store"), event::_41_updateStoreToZuvo},
        {QStringLiteral("channel"), event::_40_updateCheckChannel},
        {QStringLiteral("openoutside"), event::_30_updateOpenOutside},
    };
    const QStringList words = arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString state = words.value(1);
    if (words.size() != 2 || !events.contains(words[0]) || (state != QLatin1String("on") && state != QLatin1String("off")))
        return invalid(QStringLiteral("usage: button share|store|channel|openoutside on|off"));
    return sendEvent(events.value(words[0]), state == QLatin1String("on") ? QStringLiteral("true") : QStringLiteral("false"));
}

HostCommand sendCommand(const QString &arguments)
{
    const Split group = splitFirst(arguments);
    const Split command = splitFirst(group.tail);
    if (group.head.isEmpty() || command.head.isEmpty())
        return invalid(QStringLiteral("usage: send GROUP COMMAND [TEXT]"));
    return sending(HostMessage::text(group.head, command.head, command.tail).wire());
}

HostCommand sleepCommand(const QString &arguments)
{
    bool ok = false;
    const int milliseconds = arguments.trimmed().toInt(&ok);
    if (!ok || milliseconds < 0)
        return invalid(QStringLiteral("usage: sleep MILLISECONDS"));
    HostCommand command = ofKind(HostCommand::Kind::Sleep);
    command.milliseconds = milliseconds;
    return command;
}

} // namespace

HostCommand interpretCommand(const QString &line, const QDir &workingDir)
{
    QString text = line;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    int start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    text = text.mid(start);
    if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
        return {};

    const Split split = splitFirst(text);
    const QString &verb = split.head;
    const QString &arguments = split.tail;
    if (verb == QLatin1String("show")) {
        if (arguments.trimmed().isEmpty())
            return invalid(QStringLiteral("usage: show ADDRESS"));
        return sendEvent(event::_20_showUrl, arguments.trimmed());
    }
    if (verb == QLatin1String("active"))
        return sendEvent(event::_10_active, QString());
    if (verb == QLatin1String("message"))
        return sendEvent(event::_50_showBoxMessage, arguments);
    if (verb == QLatin1String("button"))
        return buttonCommand(arguments);
    if (verb == QLatin1String("config"))
        return configCommand(arguments, workingDir);
    if (verb == QLatin1String("raw"))
        return sending(arguments.toUtf8());
    if (verb == QLatin1String("send"))
        return sendCommand(arguments);
    if (verb == QLatin1String("sleep"))
        return sleepCommand(arguments);
    if (verb == QLatin1String("quit"))
        return ofKind(HostCommand::Kind::Quit);
    if (verb == QLatin1String("help"))
        return ofKind(HostCommand::Kind::Help);
    return invalid(QStringLiteral("unknown command \"%1\" (try help)").arg(verb));
}

QString commandHelp()
{
    return QStringLiteral(
        "Commands, one per line (blank lines and lines starting with # are skipped):\n"
        "  show ADDRESS                 open the window on ADDRESS (event showUrl)\n"
        "  active                       bring the window to the front\n"
        "  message TEXT                 show TEXT in the window's message box\n"
        "  button share|store|channel|openoutside on|off\n"
        "                               show or hide a title-bar button\n"
        "  config KEY VALUE             send one setting, VALUE written as in the\n"
        "                               configuration file (JSON, or plain text);\n"
        "                               config userInfo VALUE changes the answer\n"
        "                               to the browser's user-information queries\n"
        "  send GROUP COMMAND [TEXT]    send one message with a text payload\n"
        "  raw TEXT                     write TEXT to the link exactly as given\n"
        "  sleep MILLISECONDS           wait before reading the next command\n"
        "  quit                         close the link and wait for the browser\n"
        "  help                         print this summary\n"
        "Commands read before the browser connects wait until it has and has been\n"
        "configured.\n");
}
