#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

class HostLink;

namespace testsupport {

// A socket path of its own for each call, under the system's temporary folder.
QString uniqueServerName(const QString &tag);

// Listens on a fresh endpoint and has the browser's transport connect to it,
// as the host does before it sends anything; false when either side fails.
bool connectBrowserTo(HostLink &host, const QString &tag);

// The wire form of one host message with a UTF-8 text payload.
QByteArray wire(const QString &group, const QString &command, const QString &text);

// A PNG file of the given size, filled with one colour.
QByteArray png(int width, int height, QRgb colour = qRgb(255, 0, 0));
// A tiny valid PNG whose header claims the given size: a decoder would
// allocate for the claim before noticing that the pixels are missing.
QByteArray pngDeclaring(quint32 width, quint32 height);

// The resident memory of this process or of another one, from /proc.
qint64 residentBytes();
qint64 residentBytesOf(qint64 pid);

} // namespace testsupport
