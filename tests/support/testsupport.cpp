#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QUuid>

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

} // namespace testsupport
