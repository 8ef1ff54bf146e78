#include "hostwire_p.h"

#include <ZuvoBrowserHost/downloadservice.h>

#include "transport/messageframer.h"
#include "transport/wirecodec.h"
#include "zwProtoc.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace webfile = zuvo_web_protoc::zuvo_web_protoc_4_webfile;

namespace Zuvo {
namespace Private {

namespace {

const QString keyMember = QStringLiteral("key");
const QString fileKeyMember = QStringLiteral("fileKey");

WireMessage reply(const QString &command, const QJsonObject &object)
{
    return {webfile::prefix, command, QJsonDocument(object).toJson(QJsonDocument::Compact)};
}

std::optional<QJsonObject> objectOf(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

QJsonArray browserJson(const QList<DownloadRecord> &records)
{
    QJsonArray data;
    for (const DownloadRecord &record : records)
        data.append(record.toBrowserJson());
    return data;
}

DownloadAnswer answered(const WireMessage &message)
{
    return {true, message};
}

DownloadAnswer startDownload(DownloadService &service, const QJsonObject &request)
{
    const QString info = service.startDownload(QUrl(request.value(QStringLiteral("url")).toString()),
                                               request.value(QStringLiteral("name")).toString());
    return answered(reply(webfile::_41_startDownload,
                          {{keyMember, request.value(keyMember).toString()}, {QStringLiteral("info"), info}}));
}

DownloadAnswer progress(DownloadService &service, const QJsonObject &request)
{
    QStringList keys;
    for (const QJsonValue &fileKey : request.value(QStringLiteral("fileList")).toArray())
        keys.append(fileKey.toString());
    return answered(reply(webfile::_21_getDownloadOffset,
                          {{keyMember, request.value(keyMember)}, {QStringLiteral("data"), browserJson(service.progress(keys))}}));
}

DownloadAnswer restart(DownloadService &service, const QJsonObject &request)
{
    const QString fileKey = request.value(fileKeyMember).toString();
    if (!service.restartDownload(fileKey))
        return {true, std::nullopt};
    return answered(reply(webfile::_51_restartDownload, {{keyMember, request.value(keyMember)}, {fileKeyMember, fileKey}}));
}

DownloadAnswer removeOne(DownloadService &service, const QJsonObject &request)
{
    const QString fileKey = request.value(fileKeyMember).toString();
    service.removeRecord(fileKey);
    return answered(reply(webfile::_61_removeHistory, {{keyMember, request.value(keyMember)}, {fileKeyMember, fileKey}}));
}

DownloadAnswer removeAll(DownloadService &service, const QJsonObject &request)
{
    service.removeAllRecords();
    return answered(reply(webfile::_63_removeAllHistory, {{keyMember, request.value(keyMember)}}));
}

// The requests whose payload is a JSON object.
DownloadAnswer answerJsonRequest(DownloadService &service, const QString &command, const QJsonObject &request)
{
    if (command == webfile::_40_startDownload)
        return startDownload(service, request);
    if (command == webfile::_20_getDownloadOffset)
        return progress(service, request);
    if (command == webfile::_50_restartDownload)
        return restart(service, request);
    if (command == webfile::_60_removeHistory)
        return removeOne(service, request);
    if (command == webfile::_62_removeAllHistory)
        return removeAll(service, request);
    return {};
}

} // namespace

QByteArray encodeMessage(const QString &group, const QString &command, const QByteArray &payload)
{
    return wirecodec::encode(group, command, payload);
}

QList<WireMessage> decodeMessages(const QByteArray &wire)
{
    QList<WireMessage> messages;
    for (const QString &text : MessageFramer().append(wire)) {
        const wirecodec::Message message = wirecodec::decode(text);
        messages.append({message.group, message.command, message.payload});
    }
    return messages;
}

DownloadAnswer answerDownloadRequest(DownloadService &service, const QString &command, const QByteArray &payload)
{
    if (command == webfile::_10_getFileList) {
        return answered(reply(webfile::_11_getFileList, {{keyMember, QString::fromUtf8(payload)},
                                                         {QStringLiteral("data"), browserJson(service.records())}}));
    }
    if (command == webfile::_30_openFileFolder) {
        service.openFolder(QString::fromUtf8(payload));
        return {true, std::nullopt};
    }
    const auto request = objectOf(payload);
    if (!request)
        return {};
    return answerJsonRequest(service, command, *request);
}

} // namespace Private
} // namespace Zuvo
