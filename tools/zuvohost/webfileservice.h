#pragma once

#include "downloadhistory.h"
#include "hostmessage.h"

#include <ZuvoBrowserHost/standarddownloadservice.h>

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

// The host's side of the download panel: the library's built-in download
// service, its reports printed as the host's status lines, and its requests
// and replies as messages of the link.
class WebFileService : public QObject
{
    Q_OBJECT

public:
    // A service of its own.
    explicit WebFileService(QObject *parent = nullptr);
    // Reports for a service that someone else owns (a BrowserHost's).
    explicit WebFileService(Zuvo::StandardDownloadService *service, QObject *parent = nullptr);
    ~WebFileService() override;

    // Without a call the history lives in memory only.
    bool openHistory(const QString &path, QString *error);
    void setAccessToken(const QString &token);

    static bool isRequest(const HostMessage &message);
    // The reply the request asks for; nothing for a request that has none
    // ("openFileFolder") or that cannot be answered (no key to echo).
    std::optional<HostMessage> handle(const HostMessage &message);

    const DownloadHistory &history() const { return _service->history(); }

private:
    void printReports();

    std::unique_ptr<Zuvo::StandardDownloadService> _ownService;
    Zuvo::StandardDownloadService *_service;
};

// The access token that the last "accessToken" setting among these bytes of
// the link carries, if any does.
std::optional<QString> accessTokenSentIn(const QByteArray &wire);
