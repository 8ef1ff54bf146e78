#pragma once

#include "hostmessage.h"

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

// What the host tells a browser that has just connected, read from a JSON
// file: one member per setting (named after its protocol command) and the
// user information that answers the browser's queries. Members whose name
// starts with "_" are comments.
class HostConfig
{
public:
    static const QString userInfoKey;

    // Reads the file; every problem found goes into errors, one line each.
    bool load(const QString &path, QStringList *errors);
    bool loadJson(const QByteArray &json, const QString &baseDir, QStringList *errors);

    // The settings in sending order, whatever their order in the file.
    const QList<HostMessage> &messages() const { return _messages; }

    QString userInfo() const { return _userInfo; }
    void setUserInfo(const QString &info) { _userInfo = info; }

    // A string is taken as it is; an object or array as its compact JSON text,
    // since the browser only accepts the information as a string.
    static QString userInfoText(const QJsonValue &value);

private:
    QList<HostMessage> _messages;
    QString _userInfo;
};
