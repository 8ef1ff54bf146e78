#pragma once

#include <QByteArray>
#include <QStringList>

// Cuts the host's byte stream into messages at ";". Bytes are looked at once:
// the unfinished tail is only scanned for ";" and NUL as its bytes arrive, so a
// message of many megabytes in small reads costs time in proportion to its size.
class MessageFramer
{
public:
    // Returns the messages the bytes complete, trimmed, empty ones left out.
    // A NUL cuts the buffered text; whatever followed it is discarded.
    QStringList append(const QByteArray &bytes);

    int pendingSize() const { return _receivedBytes.size(); }
    // Every byte ever appended, including those a NUL discarded.
    qint64 totalBytes() const { return _totalBytes; }
    void clear() { _receivedBytes.clear(); }

private:
    QByteArray _receivedBytes;
    qint64 _totalBytes = 0;
};
