#include "messageframer.h"

#include <algorithm>
#include <iterator>

namespace {

int lastSeparatorFrom(const QByteArray &bytes, int from)
{
    const char *begin = bytes.constData() + from;
    const char *end = bytes.constData() + bytes.size();
    const auto hit = std::find(std::make_reverse_iterator(end), std::make_reverse_iterator(begin), ';');
    if (hit.base() == begin)
        return -1;
    return int(hit.base() - bytes.constData()) - 1;
}

QStringList splitMessages(const QString &text)
{
    QStringList messages;
    const QStringList pieces = text.split(QLatin1Char(';'));
    for (const QString &piece : pieces) {
        const QString message = piece.trimmed();
        if (!message.isEmpty())
            messages.append(message);
    }
    return messages;
}

} // namespace

QStringList MessageFramer::append(const QByteArray &bytes)
{
    // Everything before scanFrom is known to hold neither ";" nor NUL.
    const int scanFrom = _receivedBytes.size();
    _receivedBytes.append(bytes);
    _totalBytes += bytes.size();

    const int nul = _receivedBytes.indexOf('\0', scanFrom);
    if (nul >= 0)
        _receivedBytes.truncate(nul);

    const int separator = lastSeparatorFrom(_receivedBytes, qMin(scanFrom, _receivedBytes.size()));
    if (separator < 0)
        return {};

    const QString complete = QString::fromLocal8Bit(_receivedBytes.constData(), separator);
    _receivedBytes.remove(0, separator + 1);
    // Removing keeps the capacity: one huge message would otherwise hold its
    // memory for the rest of the session.
    if (_receivedBytes.capacity() > 4 * qMax(_receivedBytes.size(), 65536))
        _receivedBytes.squeeze();
    return splitMessages(complete);
}
