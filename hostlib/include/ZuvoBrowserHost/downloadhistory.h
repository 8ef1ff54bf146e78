#pragma once

#include <ZuvoBrowserHost/downloadrecord.h>
#include <ZuvoBrowserHost/global.h>

#include <QList>
#include <QMap>
#include <QString>

namespace Zuvo {

// The built-in download service's history: records by key, kept in memory
// and, when a file is given, in that file as JSON.
class ZUVOBROWSERHOST_EXPORT DownloadHistory
{
public:
    // No file: the history lives as long as the object.
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
    const DownloadRecord *find(const QString &key) const;
    void add(const DownloadRecord &record);
    bool remove(const QString &key);
    void clear() { _records.clear(); }

    // Oldest first.
    QList<DownloadRecord> records() const;

private:
    QString _path;
    QMap<QString, DownloadRecord> _records;
};

} // namespace Zuvo
