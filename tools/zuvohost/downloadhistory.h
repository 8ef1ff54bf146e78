#pragma once

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

// One file the host downloaded, or tried to.
struct DownloadRecord {
    // The numbers the browser's panel reads.
    enum class Status { Added = 0, Downloading = 1, Ready = 2, Failed = 3 };

    QString key;
    QString path;
    QString url;
    qint64 createTime = 0; // milliseconds since the epoch
    qint64 updateTime = 0;
    qint64 fileSize = 0;
    qint64 downloadOffset = 0;
    Status status = Status::Added;

    // The record as the browser's panel reads it; "fileExists" is looked up
    // on disk now, so a file deleted by hand shows as missing.
    QJsonObject toBrowserJson() const;
    QJsonObject toStoredJson() const;
    static DownloadRecord fromStoredJson(const QJsonObject &object);
};

// The host's download history: records by key, kept in memory and, when a
// file is given, in that file as JSON after every change of a record's state.
class DownloadHistory
{
public:
    // No file: the history lives as long as the host.
    DownloadHistory() = default;

    // Reads the file if it exists; a file that is there but unreadable is an
    // error, so a typo or a damaged file never gets overwritten by an empty
    // history. Transfers that were running when the file was written did not
    // survive their host, so their records come back failed.
    bool open(const QString &path, QString *error);
    QString path() const { return _path; }

    // Writes the whole history atomically: a crash mid-write leaves the
    // previous file in place. Without a file it does nothing.
    bool save(QString *error) const;

    DownloadRecord *find(const QString &key);
    void add(const DownloadRecord &record);
    bool remove(const QString &key);
    void clear() { _records.clear(); }

    // Oldest first.
    QList<DownloadRecord> records() const;

private:
    QString _path;
    QMap<QString, DownloadRecord> _records;
};
