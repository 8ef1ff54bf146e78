#pragma once

#include <ZuvoBrowserHost/downloadrecord.h>
#include <ZuvoBrowserHost/global.h>

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace Zuvo {

// What the host does with the downloads a browser hands over and what its
// download panel asks about them. BrowserHost turns every request of the
// panel into one call here and the result into the reply the panel waits
// for, with the request's key; an implementation never sees the wire.
//
// Calls come from the BrowserHost's thread and must return at once: the
// panel polls, so a service answers from what it knows now (a transfer in
// progress shows its offset as it stands) and does the slow work later.
class ZUVOBROWSERHOST_EXPORT DownloadService
{
public:
    virtual ~DownloadService();

    // The user chose path in the browser's save dialog for url. Returns the
    // text the browser shows in its message box; empty shows nothing.
    virtual QString startDownload(const QUrl &url, const QString &path) = 0;
    // Every record, oldest first.
    virtual QList<DownloadRecord> records() const = 0;
    // The records with these keys as they stand; unknown keys are left out.
    // The default picks them from records().
    virtual QList<DownloadRecord> progress(const QStringList &keys) const;
    // False when there is no such record: the panel then gets no answer.
    virtual bool restartDownload(const QString &key) = 0;
    // Removing records never touches the downloaded files.
    virtual void removeRecord(const QString &key) = 0;
    virtual void removeAllRecords() = 0;
    // Shows the record's folder to the user; the panel expects no answer.
    virtual void openFolder(const QString &key) = 0;
};

} // namespace Zuvo
