#pragma once

// Not part of the installed API: the wire format and the download panel's
// requests, exported for the project's own reference host, which speaks the
// protocol by name. Nothing here is promised to stay.

#include <ZuvoBrowserHost/global.h>

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace Zuvo {

class DownloadService;

namespace Private {

struct WireMessage {
    QString group;
    QString command;
    QByteArray payload; // Base64-decoded
};

ZUVOBROWSERHOST_EXPORT QByteArray encodeMessage(const QString &group, const QString &command, const QByteArray &payload);
// The complete messages in these bytes; an unfinished tail is left out.
ZUVOBROWSERHOST_EXPORT QList<WireMessage> decodeMessages(const QByteArray &wire);

struct DownloadAnswer {
    bool understood = false; // false: malformed or unknown, to be dropped
    std::optional<WireMessage> reply;
};

// One request of the download panel ("webfile" group) carried out on the
// service, and the reply it asks for, if any.
ZUVOBROWSERHOST_EXPORT DownloadAnswer answerDownloadRequest(DownloadService &service, const QString &command,
                                                            const QByteArray &payload);

} // namespace Private
} // namespace Zuvo
