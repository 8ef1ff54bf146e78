#include "browserreplies.h"

#include "zwProtoc.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace iq = zuvo_web_protoc::zuvo_web_protoc_5_iq;

namespace browserreplies {

namespace {

QString escapedText(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return text;
}

QString payloadForLine(const QByteArray &payload)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error == QJsonParseError::NoError && !document.isNull())
        return QString::fromUtf8(document.toJson(QJsonDocument::Compact));
    return escapedText(QString::fromUtf8(payload));
}

HostMessage jsonReply(const QString &group, const QString &command, const QJsonObject &object)
{
    return {group, command, QJsonDocument(object).toJson(QJsonDocument::Compact)};
}

} // namespace

QString messageLine(const HostMessage &message)
{
    QString line = message.group + QLatin1Char(' ') + message.command;
    if (!message.payload.isEmpty())
        line += QLatin1Char(' ') + payloadForLine(message.payload);
    return line;
}

std::optional<HostMessage> replyTo(const HostMessage &message, const QString &userInfo)
{
    if (message.group == iq::prefix && message.command == iq::_10_currentUserInfo)
        return currentUserInfoReply(message.text(), userInfo);
    return std::nullopt;
}

HostMessage currentUserInfoReply(const QString &requestKey, const QString &info)
{
    return jsonReply(iq::prefix, iq::_11_currentUserInfo,
                     {{QStringLiteral("key"), requestKey}, {QStringLiteral("info"), info}});
}

} // namespace browserreplies
