#pragma once

#include <ZuvoBrowserHost/downloadhistory.h>
#include <ZuvoBrowserHost/downloadservice.h>
#include <ZuvoBrowserHost/global.h>

#include <QObject>
#include <QString>

#include <memory>

namespace Zuvo {

class Downloader;

// The download service every BrowserHost starts with: fetches over HTTP(S)
// with the access token as the X-Access-Token header, streams each file beside
// its target and puts it in place only once complete, and keeps the history in
// memory or in a JSON file. Only http and https addresses and absolute paths
// are fetched.
class ZUVOBROWSERHOST_EXPORT StandardDownloadService : public QObject, public DownloadService
{
    Q_OBJECT

public:
    explicit StandardDownloadService(QObject *parent = nullptr);
    ~StandardDownloadService() override;

    // Without a call the history lives in memory only. Returns false, with
    // error set, for a file that exists but is not a history.
    bool openHistory(const QString &path, QString *error);
    const DownloadHistory &history() const { return _history; }
    // An empty token sends no header at all. BrowserHost::setAccessToken
    // passes its token here.
    void setAccessToken(const QString &token);

    QString startDownload(const QUrl &url, const QString &path) override;
    QList<DownloadRecord> records() const override;
    QList<DownloadRecord> progress(const QStringList &keys) const override;
    bool restartDownload(const QString &key) override;
    void removeRecord(const QString &key) override;
    void removeAllRecords() override;
    // Hands the folder to the desktop's file manager when there is a desktop
    // to hand it to (a GUI application on a real display), else only reports it.
    void openFolder(const QString &key) override;

signals:
    void downloadStarted(const Zuvo::DownloadRecord &record);
    // error is empty when the file is complete.
    void downloadFinished(const Zuvo::DownloadRecord &record, const QString &error);
    void folderOpened(const QString &folder, bool handedToDesktop);
    // A request that could not be carried out, or a history that could not
    // be written, in one line for a person.
    void warning(const QString &text);

private:
    void startTransfer(DownloadRecord *record);
    void onProgress(const QString &key, qint64 received, qint64 total);
    void onFinished(const QString &key, const QString &error, qint64 size);
    void save();

    DownloadHistory _history;
    std::unique_ptr<Downloader> _downloader;
};

} // namespace Zuvo
