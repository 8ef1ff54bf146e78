#include <ZuvoBrowserHost/downloadhistory.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>

namespace Zuvo {

namespace {

const QString recordsMember = QStringLiteral("records");

qint64 integerOf(const QJsonObject &object, const QString &name)
{
    return qint64(object.value(name).toDouble());
}

DownloadRecord::Status statusOf(int value)
{
    if (value < int(DownloadRecord::Status::Added) || value > int(DownloadRecord::Status::Failed))
        return DownloadRecord::Status::Failed;
    return DownloadRecord::Status(value);
}

QJsonObject storedJson(const DownloadRecord &record)
{
    return {{QStringLiteral("key"), record.key},
            {QStringLiteral("path"), record.path},
            {QStringLiteral("url"), record.url},
            {QStringLiteral("createTime"), double(record.createTime)},
            {QStringLiteral("updateTime"), double(record.updateTime)},
            {QStringLiteral("fileSize"), double(record.fileSize)},
            {QStringLiteral("status"), int(record.status)},
            {QStringLiteral("downloadOffset"), double(record.downloadOffset)}};
}

DownloadRecord recordFromStoredJson(const QJsonObject &object)
{
    DownloadRecord record;
    record.key = object.value(QStringLiteral("key")).toString();
    record.path = object.value(QStringLiteral("path")).toString();
    record.url = object.value(QStringLiteral("url")).toString();
    record.createTime = integerOf(object, QStringLiteral("createTime"));
    record.updateTime = integerOf(object, QStringLiteral("updateTime"));
    record.fileSize = integerOf(object, QStringLiteral("fileSize"));
    record.downloadOffset = integerOf(object, QStringLiteral("downloadOffset"));
    record.status = statusOf(object.value(QStringLiteral("status")).toInt(int(DownloadRecord::Status::Failed)));
    return record;
}

} // namespace

QJsonObject DownloadRecord::toBrowserJson() const
{
    return {{QStringLiteral("key"), key},
            {QStringLiteral("name"), QFileInfo(path).fileName()},
            {QStringLiteral("createTime"), double(createTime)},
            {QStringLiteral("updateTime"), double(updateTime)},
            {QStringLiteral("fileSize"), double(fileSize)},
            {QStringLiteral("status"), int(status)},
            {QStringLiteral("downloadOffset"), double(downloadOffset)},
            {QStringLiteral("fileExists"), QFileInfo(path).isFile()}};
}

bool DownloadHistory::open(const QString &path, QString *error)
{
    _path = path;
    _records.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the history %1").arg(path);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject() || !document.object().value(recordsMember).isArray()) {
        *error = QStringLiteral("%1 is not a download history (%2)")
                     .arg(path, parseError.error == QJsonParseError::NoError ? QStringLiteral("no \"records\" array")
                                                                              : parseError.errorString());
        return false;
    }
    for (const QJsonValue &value : document.object().value(recordsMember).toArray()) {
        DownloadRecord record = recordFromStoredJson(value.toObject());
        if (record.key.isEmpty())
            continue;
        if (record.status == DownloadRecord::Status::Added || record.status == DownloadRecord::Status::Downloading)
            record.status = DownloadRecord::Status::Failed;
        _records.insert(record.key, record);
    }
    return true;
}

bool DownloadHistory::save(QString *error) const
{
    if (_path.isEmpty())
        return true;
    QJsonArray stored;
    for (const DownloadRecord &record : records())
        stored.append(storedJson(record));
    QSaveFile file(_path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QJsonDocument(QJsonObject{{recordsMember, stored}}).toJson()) < 0 || !file.commit()) {
        *error = QStringLiteral("cannot write the history %1: %2").arg(_path, file.errorString());
        return false;
    }
    return true;
}

DownloadRecord *DownloadHistory::find(const QString &key)
{
    const auto it = _records.find(key);
    return it == _records.end() ? nullptr : &it.value();
}

const DownloadRecord *DownloadHistory::find(const QString &key) const
{
    const auto it = _records.constFind(key);
    return it == _records.constEnd() ? nullptr : &it.value();
}

void DownloadHistory::add(const DownloadRecord &record)
{
    _records.insert(record.key, record);
}

bool DownloadHistory::remove(const QString &key)
{
    return _records.remove(key) > 0;
}

QList<DownloadRecord> DownloadHistory::records() const
{
    QList<DownloadRecord> ordered = _records.values();
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const DownloadRecord &a, const DownloadRecord &b) { return a.createTime < b.createTime; });
    return ordered;
}

} // namespace Zuvo
