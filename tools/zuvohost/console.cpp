#include "console.h"

#include <QByteArray>

#include <cstdio>

namespace console {

namespace {

void writeLine(FILE *stream, const QString &line)
{
    QByteArray bytes = line.toUtf8();
    if (!bytes.endsWith('\n'))
        bytes.append('\n');
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void printMessage(const QString &line)
{
    writeLine(stdout, line);
}

void printStatus(const QString &text)
{
    writeLine(stdout, QStringLiteral("host: ") + text);
}

void printError(const QString &text)
{
    writeLine(stderr, QStringLiteral("host: error: ") + text);
}

void printDiagnostic(const QString &text)
{
    writeLine(stderr, text);
}

} // namespace console
