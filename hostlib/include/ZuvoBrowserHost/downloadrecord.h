#pragma once

#include <ZuvoBrowserHost/global.h>

#include <QJsonObject>
#include <QString>

namespace Zuvo {

// One file the host downloaded, or tried to.
struct ZUVOBROWSERHOST_EXPORT DownloadRecord {
    // The numbers the browser's download panel reads.
    enum class Status { Added = 0, Downloading = 1, Ready = 2, Failed = 3 };

    QString key;  // the record's identifier: unique, never changing
    QString path; // the local file
    QString url;
    qint64 createTime = 0; // milliseconds since the epoch; orders the panel
    qint64 updateTime = 0;
    qint64 fileSize = 0;       // bytes, 0 while unknown
    qint64 downloadOffset = 0; // bytes received so far
    Status status = Status::Added;

    // The record as the browser's panel receives it; "fileExists" is looked
    // up on disk now, so a file deleted by hand shows as missing.
    QJsonObject toBrowserJson() const;
};

} // namespace Zuvo
