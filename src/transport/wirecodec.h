#pragma once

#include <QByteArray>
#include <QString>

// The wire form of one message, the same in both directions:
//     GROUP ":" COMMAND ":" BASE64(PAYLOAD) ";"
// The browser, the host link and the reference host all encode and decode
// through here, so no two of them can disagree about the format.
namespace wirecodec {

struct Message {
    QString group;
    QString command;
    QByteArray payload; // Base64-decoded
};

QByteArray encode(const QString &group, const QString &command, const QByteArray &payload);
QByteArray encodeText(const QString &group, const QString &command, const QString &text);

// One framed message, without its ";". Fields after the third are ignored.
Message decode(const QString &message);
// Characters outside the Base64 alphabet are skipped, as a lenient peer must.
QByteArray decodePayload(const QString &field);

} // namespace wirecodec
