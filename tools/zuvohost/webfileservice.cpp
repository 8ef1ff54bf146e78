#include "webfileservice.h"

#include "console.h"
#include "transport/messageframer.h"
#include "transport/wirecodec.h"
#include "zwProtoc.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>
#include <QUuid>

namespace webfile = zuvo_web_protoc::zuvo_web_protoc_4_webfile;
namespace config = zuvo_web_protoc::zuvo_web_protoc_1_config;

namespace {

const QString keyMember = QStringLiteral("key");
const QString fileKeyMember = QStringLiteral("fileKey");

HostMessage reply(const QString &command, const QJsonObject &object)
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

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

QString newRecordKey()
{
    return QUuid::createUuid().toString(QUuid::Id128);
}

bool hasDesktop()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace

WebFileService::WebFileService(QObject *parent)
    : QObject(parent)
{
    connect(&_downloader, &Downloader::progressed, this, &WebFileService::onProgress);
    connect(&_downloader, &Downloader::finished, this, &WebFileService::onFinished);
}

bool WebFileService::openHistory(const QString &path, QString *error)
{
    return _history.open(path, error);
}

bool WebFileService::isRequest(const HostLink::Message &message)
{
    return message.group == webfile::prefix;
}

std::optional<HostMessage> WebFileService::handle(const HostLink::Message &message)
{
    if (!isRequest(message))
        return std::nullopt;
    const QString &command = message.command;
    if (command == webfile::_40_startDownload)
        return startDownload(message.payload);
    if (command == webfile::_10_getFileList)
        return fileList(message.text());
    if (command == webfile::_20_getDownloadOffset)
        return downloadOffsets(message.payload);
    if (command == webfile::_30_openFileFolder)
        openFolder(message.text());
    else if (command == webfile::_50_restartDownload)
        return restartDownload(message.payload);
    else if (command == webfile::_60_removeHistory)
        return removeHistory(message.payload);
    else if (command == webfile::_62_removeAllHistory)
        return removeAllHistory(message.payload);
    return std::nullopt;
}

std::optional<HostMessage> WebFileService::startDownload(const QByteArray &json)
{
    const auto request = objectOf(json);
    if (!request)
        return std::nullopt;
    const QString path = request->value(QStringLiteral("name")).toString();
    const QUrl url(request->value(QStringLiteral("url")).toString());
    const bool fetchable = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    QString info = QStringLiteral("Download started: %1").arg(path);
    if (!fetchable || !QFileInfo(path).isAbsolute()) {
        console::printError(QStringLiteral("not downloading %1 to \"%2\": an http(s) address and an absolute path are needed")
                                .arg(url.toString(), path));
        info = QStringLiteral("Download not started: %1").arg(path);
    } else {
        DownloadRecord record;
        record.key = newRecordKey();
        record.path = path;
        record.url = url.toString();
        record.createTime = now();
        _history.add(record);
        startTransfer(_history.find(record.key));
    }
    return reply(webfile::_41_startDownload, {{keyMember, request->value(keyMember).toString()}, {QStringLiteral("info"), info}});
}

HostMessage WebFileService::fileList(const QString &requestKey) const
{
    QJsonArray data;
    for (const DownloadRecord &record : _history.records())
        data.append(record.toBrowserJson());
    return reply(webfile::_11_getFileList, {{keyMember, requestKey}, {QStringLiteral("data"), data}});
}

std::optional<HostMessage> WebFileService::downloadOffsets(const QByteArray &json)
{
    const auto request = objectOf(json);
    if (!request)
        return std::nullopt;
    QJsonArray data;
    for (const QJsonValue &fileKey : request->value(QStringLiteral("fileList")).toArray()) {
        if (const DownloadRecord *record = _history.find(fileKey.toString()))
            data.append(record->toBrowserJson());
    }
    return reply(webfile::_21_getDownloadOffset, {{keyMember, request->value(keyMember)}, {QStringLiteral("data"), data}});
}

void WebFileService::openFolder(const QString &fileKey)
{
    const DownloadRecord *record = _history.find(fileKey);
    if (!record) {
        console::printError(QStringLiteral("no download record %1 to open the folder of").arg(fileKey));
        return;
    }
    const QString folder = QFileInfo(record->path).absolutePath();
    if (hasDesktop() && QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        console::printStatus(QStringLiteral("opened folder ") + folder);
    else
        console::printStatus(QStringLiteral("open folder ") + folder);
}

std::optional<HostMessage> WebFileService::restartDownload(const QByteArray &json)
{
    const auto request = objectOf(json);
    if (!request)
        return std::nullopt;
    const QString fileKey = request->value(fileKeyMember).toString();
    DownloadRecord *record = _history.find(fileKey);
    if (!record) {
        console::printError(QStringLiteral("no download record %1 to download again").arg(fileKey));
        return std::nullopt;
    }
    startTransfer(record);
    return reply(webfile::_51_restartDownload, {{keyMember, request->value(keyMember)}, {fileKeyMember, fileKey}});
}

std::optional<HostMessage> WebFileService::removeHistory(const QByteArray &json)
{
    const auto request = objectOf(json);
    if (!request)
        return std::nullopt;
    const QString fileKey = request->value(fileKeyMember).toString();
    _downloader.cancel(fileKey);
    if (_history.remove(fileKey))
        save();
    return reply(webfile::_61_removeHistory, {{keyMember, request->value(keyMember)}, {fileKeyMember, fileKey}});
}

std::optional<HostMessage> WebFileService::removeAllHistory(const QByteArray &json)
{
    const auto request = objectOf(json);
    if (!request)
        return std::nullopt;
    _downloader.cancelAll();
    _history.clear();
    save();
    return reply(webfile::_63_removeAllHistory, {{keyMember, request->value(keyMember)}});
}

void WebFileService::startTransfer(DownloadRecord *record)
{
    record->status = DownloadRecord::Status::Downloading;
    record->downloadOffset = 0;
    record->updateTime = now();
    save();
    console::printStatus(QStringLiteral("downloading %1 to %2").arg(record->url, record->path));
    _downloader.start(record->key, QUrl(record->url), record->path);
    emit recordChanged(record->key);
}

void WebFileService::onProgress(const QString &key, qint64 received, qint64 total)
{
    DownloadRecord *record = _history.find(key);
    if (!record)
        return;
    record->downloadOffset = received;
    if (total >= 0)
        record->fileSize = total;
    record->updateTime = now();
}

void WebFileService::onFinished(const QString &key, const QString &error, qint64 size)
{
    DownloadRecord *record = _history.find(key);
    if (!record)
        return;
    record->updateTime = now();
    if (error.isEmpty()) {
        record->status = DownloadRecord::Status::Ready;
        record->fileSize = size;
        record->downloadOffset = size;
        console::printStatus(QStringLiteral("downloaded %1, %2 bytes").arg(record->path).arg(size));
    } else {
        record->status = DownloadRecord::Status::Failed;
        console::printStatus(QStringLiteral("download of %1 failed: %2").arg(record->url, error));
    }
    save();
    emit recordChanged(key);
}

void WebFileService::save()
{
    QString error;
    if (!_history.save(&error))
        console::printError(error);
}

std::optional<QString> accessTokenSentIn(const QByteArray &wire)
{
    std::optional<QString> token;
    for (const QString &text : MessageFramer().append(wire)) {
        const wirecodec::Message message = wirecodec::decode(text);
        if (message.group == config::prefix && message.command == config::_70_accessToken)
            token = QString::fromUtf8(message.payload);
    }
    return token;
}
