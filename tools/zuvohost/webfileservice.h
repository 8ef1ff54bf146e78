#pragma once

#include "downloader.h"
#include "downloadhistory.h"
#include "hostlink.h"
#include "hostmessage.h"

#include <QObject>
#include <QString>

#include <optional>

// The host's side of the download panel: performs the downloads that the
// browser starts, keeps their history and answers the panel's requests about
// it. Removing records never touches the downloaded files.
class WebFileService : public QObject
{
    Q_OBJECT

public:
    explicit WebFileService(QObject *parent = nullptr);

    // Without a call the history lives in memory only.
    bool openHistory(const QString &path, QString *error);
    void setAccessToken(const QString &token) { _downloader.setAccessToken(token); }

    static bool isRequest(const HostLink::Message &message);
    // The reply the request asks for; nothing for a request that has none
    // ("openFileFolder") or that cannot be answered (no key to echo).
    std::optional<HostMessage> handle(const HostLink::Message &message);

    const DownloadHistory &history() const { return _history; }

signals:
    // A record's state changed (started, finished, failed), not its progress.
    void recordChanged(const QString &key);

private:
    std::optional<HostMessage> startDownload(const QByteArray &json);
    HostMessage fileList(const QString &requestKey) const;
    std::optional<HostMessage> downloadOffsets(const QByteArray &json);
    void openFolder(const QString &fileKey);
    std::optional<HostMessage> restartDownload(const QByteArray &json);
    std::optional<HostMessage> removeHistory(const QByteArray &json);
    std::optional<HostMessage> removeAllHistory(const QByteArray &json);

    void startTransfer(DownloadRecord *record);
    void onProgress(const QString &key, qint64 received, qint64 total);
    void onFinished(const QString &key, const QString &error, qint64 size);
    void save();

    DownloadHistory _history;
    Downloader _downloader;
};

// The access token that the last "accessToken" setting among these bytes of
// the link carries, if any does.
std::optional<QString> accessTokenSentIn(const QByteArray &wire);
