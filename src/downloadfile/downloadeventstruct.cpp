#include "downloadeventstruct.h"

KeyLink::KeyLink(QString key, const char *command, QObject *parent)
    : ILink(parent)
    , _key(std::move(key))
    , _command(command)
{
}

void KeyLink::onClick(Qt::MouseButton button, Callback callback)
{
    if (button != Qt::LeftButton || !callback)
        return;
    callback(QLatin1String(_command), _key);
}

RemoveLink::RemoveLink(QString key, QObject *parent)
    : KeyLink(std::move(key), "removedownloadfile", parent)
{
}

RedownloadLink::RedownloadLink(QString key, QObject *parent)
    : KeyLink(std::move(key), "redownloadfile", parent)
{
}

OpenInFolderLink::OpenInFolderLink(QString key, QObject *parent)
    : KeyLink(std::move(key), "openfilefolder", parent)
{
}
