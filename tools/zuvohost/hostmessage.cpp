#include "hostmessage.h"

#include "hostwire_p.h"

HostMessage HostMessage::text(const QString &group, const QString &command, const QString &text)
{
    return {group, command, text.toUtf8()};
}

QByteArray HostMessage::wire() const
{
    return Zuvo::Private::encodeMessage(group, command, payload);
}

bool HostMessage::operator==(const HostMessage &other) const
{
    return group == other.group && command == other.command && payload == other.payload;
}

QByteArray wireOf(const QList<HostMessage> &messages)
{
    QByteArray bytes;
    for (const HostMessage &message : messages)
        bytes += message.wire();
    return bytes;
}
