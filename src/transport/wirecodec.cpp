#include "wirecodec.h"

#include "zwProtoc.h"

#include <QStringList>

namespace wirecodec {

QByteArray encode(const QString &group, const QString &command, const QByteArray &payload)
{
    const QString text = group + QLatin1Char(':') + command + QLatin1Char(':') +
                         QString::fromLatin1(payload.toBase64()) + zuvo_web_protoc::suffix;
    return text.toLocal8Bit();
}

QByteArray encodeText(const QString &group, const QString &command, const QString &text)
{
    return encode(group, command, text.toUtf8());
}

Message decode(const QString &message)
{
    const QStringList fields = message.split(QLatin1Char(':'));
    return {fields.value(0), fields.value(1), decodePayload(fields.value(2))};
}

QByteArray decodePayload(const QString &field)
{
    return QByteArray::fromBase64(field.toLocal8Bit());
}

} // namespace wirecodec
