#include "webfileservice.h"

#include "console.h"
#include "hostwire_p.h"
#include "zwProtoc.h"

namespace webfile = zuvo_web_protoc::zuvo_web_protoc_4_webfile;
namespace config = zuvo_web_protoc::zuvo_web_protoc_1_config;

WebFileService::WebFileService(QObject *parent)
    : QObject(parent)
    , _ownService(std::make_unique<Zuvo::StandardDownloadService>())
    , _service(_ownService.get())
{
    printReports();
}

WebFileService::WebFileService(Zuvo::StandardDownloadService *service, QObject *parent)
    : QObject(parent)
    , _service(service)
{
    printReports();
}

WebFileService::~WebFileService() = default;

void WebFileService::printReports()
{
    connect(_service, &Zuvo::StandardDownloadService::downloadStarted, this, [](const DownloadRecord &record) {
        console::printStatus(QStringLiteral("downloading %1 to %2").arg(record.url, record.path));
    });
    connect(_service, &Zuvo::StandardDownloadService::downloadFinished, this,
            [](const DownloadRecord &record, const QString &error) {
                if (error.isEmpty())
                    console::printStatus(QStringLiteral("downloaded %1, %2 bytes").arg(record.path).arg(record.fileSize));
                else
                    console::printStatus(QStringLiteral("download of %1 failed: %2").arg(record.url, error));
            });
    connect(_service, &Zuvo::StandardDownloadService::folderOpened, this, [](const QString &folder, bool handedToDesktop) {
        console::printStatus((handedToDesktop ? QStringLiteral("opened folder ") : QStringLiteral("open folder ")) + folder);
    });
    connect(_service, &Zuvo::StandardDownloadService::warning, this, &console::printError);
}

bool WebFileService::openHistory(const QString &path, QString *error)
{
    return _service->openHistory(path, error);
}

void WebFileService::setAccessToken(const QString &token)
{
    _service->setAccessToken(token);
}

bool WebFileService::isRequest(const HostMessage &message)
{
    return message.group == webfile::prefix;
}

std::optional<HostMessage> WebFileService::handle(const HostMessage &message)
{
    if (!isRequest(message))
        return std::nullopt;
    const auto answer = Zuvo::Private::answerDownloadRequest(*_service, message.command, message.payload);
    if (!answer.reply)
        return std::nullopt;
    return HostMessage{answer.reply->group, answer.reply->command, answer.reply->payload};
}

std::optional<QString> accessTokenSentIn(const QByteArray &wire)
{
    std::optional<QString> token;
    for (const Zuvo::Private::WireMessage &message : Zuvo::Private::decodeMessages(wire)) {
        if (message.group == config::prefix && message.command == config::_70_accessToken)
            token = QString::fromUtf8(message.payload);
    }
    return token;
}
