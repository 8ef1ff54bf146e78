#include <ZuvoBrowserHost/standarddownloadservice.h>

#include "downloader.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUuid>

#include <algorithm>

namespace Zuvo {

namespace {

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

DownloadService::~DownloadService() = default;

QList<DownloadRecord> DownloadService::progress(const QStringList &keys) const
{
    const QList<DownloadRecord> all = records();
    QList<DownloadRecord> asked;
    for (const QString &key : keys) {
        const auto it = std::find_if(all.begin(), all.end(), [&](const DownloadRecord &r) { return r.key == key; });
        if (it != all.end())
            asked.append(*it);
    }
    return asked;
}

StandardDownloadService::StandardDownloadService(QObject *parent)
    : QObject(parent)
    , _downloader(std::make_unique<Downloader>())
{
    connect(_downloader.get(), &Downloader::progressed, this, &StandardDownloadService::onProgress);
    connect(_downloader.get(), &Downloader::finished, this, &StandardDownloadService::onFinished);
}

StandardDownloadService::~StandardDownloadService() = default;

bool StandardDownloadService::openHistory(const QString &path, QString *error)
{
    return _history.open(path, error);
}

void StandardDownloadService::setAccessToken(const QString &token)
{
    _downloader->setAccessToken(token);
}

QString StandardDownloadService::startDownload(const QUrl &url, const QString &path)
{
    const bool fetchable = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (!fetchable || !QFileInfo(path).isAbsolute()) {
        emit warning(QStringLiteral("not downloading %1 to \"%2\": an http(s) address and an absolute path are needed")
                         .arg(url.toString(), path));
        return QStringLiteral("Download not started: %1").arg(path);
    }
    DownloadRecord record;
    record.key = newRecordKey();
    record.path = path;
    record.url = url.toString();
    record.createTime = now();
    _history.add(record);
    startTransfer(_history.find(record.key));
    return QStringLiteral("Download started: %1").arg(path);
}

QList<DownloadRecord> StandardDownloadService::records() const
{
    return _history.records();
}

QList<DownloadRecord> StandardDownloadService::progress(const QStringList &keys) const
{
    QList<DownloadRecord> asked;
    for (const QString &key : keys) {
        if (const DownloadRecord *record = _history.find(key))
            asked.append(*record);
    }
    return asked;
}

bool StandardDownloadService::restartDownload(const QString &key)
{
    DownloadRecord *record = _history.find(key);
    if (!record) {
        emit warning(QStringLiteral("no download record %1 to download again").arg(key));
        return false;
    }
    startTransfer(record);
    return true;
}

void StandardDownloadService::removeRecord(const QString &key)
{
    _downloader->cancel(key);
    if (_history.remove(key))
        save();
}

void StandardDownloadService::removeAllRecords()
{
    _downloader->cancelAll();
    _history.clear();
    save();
}

void StandardDownloadService::openFolder(const QString &key)
{
    const DownloadRecord *record = _history.find(key);
    if (!record) {
        emit warning(QStringLiteral("no download record %1 to open the folder of").arg(key));
        return;
    }
    const QString folder = QFileInfo(record->path).absolutePath();
    emit folderOpened(folder, hasDesktop() && QDesktopServices::openUrl(QUrl::fromLocalFile(folder)));
}

void StandardDownloadService::startTransfer(DownloadRecord *record)
{
    record->status = DownloadRecord::Status::Downloading;
    record->downloadOffset = 0;
    record->updateTime = now();
    save();
    emit downloadStarted(*record);
    _downloader->start(record->key, QUrl(record->url), record->path);
}

void StandardDownloadService::onProgress(const QString &key, qint64 received, qint64 total)
{
    DownloadRecord *record = _history.find(key);
    if (!record)
        return;
    record->downloadOffset = received;
    if (total >= 0)
        record->fileSize = total;
    record->updateTime = now();
}

void StandardDownloadService::onFinished(const QString &key, const QString &error, qint64 size)
{
    DownloadRecord *record = _history.find(key);
    if (!record)
        return;
    record->updateTime = now();
    if (error.isEmpty()) {
        record->status = DownloadRecord::Status::Ready;
        record->fileSize = size;
        record->downloadOffset = size;
    } else {
        record->status = DownloadRecord::Status::Failed;
    }
    save();
    emit downloadFinished(*record, error);
}

void StandardDownloadService::save()
{
    QString error;
    if (!_history.save(&error))
        emit warning(error);
}

} // namespace Zuvo
