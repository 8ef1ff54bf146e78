#pragma once

#include <QObject>
#include <QString>

#include <functional>

// What a click on a part of a record row does. A hit test hands one out;
// the receiver runs it at most once and deletes it.
class ILink : public QObject
{
    Q_OBJECT

public:
    using Callback = std::function<void(QString, QString)>;

    using QObject::QObject;
    // Only the left button acts; the callback gets a command word and the key.
    virtual void onClick(Qt::MouseButton button, Callback callback) = 0;
};

// A link that reports one fixed command word with its record's key.
class KeyLink : public ILink
{
    Q_OBJECT

public:
    void onClick(Qt::MouseButton button, Callback callback) override;

protected:
    KeyLink(QString key, const char *command, QObject *parent);

private:
    const QString _key;
    const char *const _command;
};

class RemoveLink : public KeyLink
{
    Q_OBJECT

public:
    RemoveLink(QString key, QObject *parent);
};

class RedownloadLink : public KeyLink
{
    Q_OBJECT

public:
    RedownloadLink(QString key, QObject *parent);
};

class OpenInFolderLink : public KeyLink
{
    Q_OBJECT

public:
    OpenInFolderLink(QString key, QObject *parent);
};
