#include "pspecific_linux.h"

QString psServerPrefix()
{
    // A leading slash makes QLocalSocket take the name as a file-system path.
    return QStringLiteral("/tmp/");
}

const char *cGUIDStr()
{
    static const char *gGuidStr = "{87A94AB0-E370-4cde-98D3-ACC110C5967D}";
    return gGuidStr;
}

void activateProgram(quint64)
{
}
