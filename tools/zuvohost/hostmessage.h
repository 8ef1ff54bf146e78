#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One message of the link, in either direction. The payload stays bytes because images travel
// as their file contents, not as text.
struct HostMessage {
    QString group;
    QString command;
    QByteArray payload;

    static HostMessage text(const QString &group, const QString &command, const QString &text);

    QString text() const { return QString::fromUtf8(payload); }

    QByteArray wire() const;
    bool operator==(const HostMessage &other) const;
};

QByteArray wireOf(const QList<HostMessage> &messages);
