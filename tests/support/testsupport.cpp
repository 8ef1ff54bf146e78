#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUuid>

#include <unistd.h>

namespace testsupport {

QString uniqueServerName(const QString &tag)
{
    return QDir::tempPath() + QStringLiteral("/zuvo-test-") + tag + QLatin1Char('-') +
           QUuid::createUuid().toString(QUuid::Id128).left(12);
}

QByteArray wire(const QString &group, const QString &command, const QString &text)
{
    return group.toLatin1() + ':' + command.toLatin1() + ':' + text.toUtf8().toBase64() + ';';
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
