#include "testsupport.h"

#include "hostlink.h"
#include "transport/transport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <QUuid>

#include <unistd.h>

namespace testsupport {

QString uniqueServerName(const QString &tag)
{
    return QDir::tempPath() + QStringLiteral("/zuvo-test-") + tag + QLatin1Char('-') +
           QUuid::createUuid().toString(QUuid::Id128).left(12);
}

bool connectBrowserTo(HostLink &host, const QString &tag)
{
    if (!host.listen(uniqueServerName(tag)))
        return false;
    transport::shareInstance()->connectToZuvo(host.serverName());
    return host.waitForConnection(5000);
}

QByteArray wire(const QString &group, const QString &command, const QString &text)
{
    return group.toLatin1() + ':' + command.toLatin1() + ':' + text.toUtf8().toBase64() + ';';
}

QByteArray png(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

namespace {

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

} // namespace

QByteArray pngDeclaring(quint32 width, quint32 height)
{
    QByteArray bytes = png(1, 1);
    QByteArray ihdr = bytes.mid(12, 17); // "IHDR" and its 13 bytes of data
    qToBigEndian(width, ihdr.data() + 4);
    qToBigEndian(height, ihdr.data() + 8);
    bytes.replace(12, 17, ihdr);
    qToBigEndian(crc32(ihdr), bytes.data() + 29);
    return bytes;
}

qint64 residentBytes()
{
    return residentBytesOf(QCoreApplication::applicationPid());
}

qint64 residentBytesOf(qint64 pid)
{
    // statm's second field: resident pages.
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

} // namespace testsupport
