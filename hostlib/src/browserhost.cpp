#include <ZuvoBrowserHost/browserhost.h>

#include <ZuvoBrowserHost/standarddownloadservice.h>

#include "browserprocess.h"
#include "hostwire_p.h"
#include "transport/messageframer.h"
#include "transport/peercredentials.h"
#include "transport/wirecodec.h"
#include "zwProtoc.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <unistd.h>

namespace config = zuvo_web_protoc::zuvo_web_protoc_1_config;
namespace event = zuvo_web_protoc::zuvo_web_protoc_2_event;
namespace feedback = zuvo_web_protoc::zuvo_web_protoc_3_feedback;
namespace webfile = zuvo_web_protoc::zuvo_web_protoc_4_webfile;
namespace iq = zuvo_web_protoc::zuvo_web_protoc_5_iq;

namespace Zuvo {

const char *libraryVersion()
{
    return ZUVOBROWSERHOST_VERSION_STRING;
}

namespace {

// Whether pid is ancestor or runs below it, by the parent links in /proc.
bool isProcessOrBelow(pid_t pid, pid_t ancestor)
{
    for (int depth = 0; pid > 1 && ancestor > 0 && depth < 64; ++depth) {
        if (pid == ancestor)
            return true;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        // "pid (name) state ppid …": the name may hold anything but ends at the last ")".
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        pid = fields.size() > 1 ? pid_t(fields.at(1).toInt()) : 0;
    }
    return false;
}

const QString &commandOf(BrowserHost::Text which)
{
    // In the order of the enumeration.
    static const QString commands[] = {
        config::_30_refreshBtnText,
        config::_31_collectBtnText,
        config::_32_shareBtnText,
        config::_33_channelBtnText,
        config::_34_openoutsideBtnText,
        config::_60_infoBoxOk,
        config::_61_infoBoxCancel,
        config::_64_infoBoxDelete,
        config::_65_infoBoxClean,
        config::_80_webFileBtnText,
        config::_81_webFileEmptyText,
        config::_82_webFileSuccessText,
        config::_83_webFileFailedText,
        config::_84_webFileOpenInFolderText,
        config::_85_webFileBackText,
        config::_86_webFileRedownloadText,
        config::_87_webFileMissedText,
        config::_88_webFileRemoveAllText,
        config::_890_webFileRemoveTipsText,
        config::_891_webFileRemoveAllTipsText,
        config::_90_tipsWebFileRemoveItem,
        config::_91_tipsWebFileRemoveAll,
    };
    return commands[int(which)];
}

const QString &commandOf(BrowserHost::Image which)
{
    // In the order of the enumeration.
    static const QString commands[] = {
        config::_02_titleIcon,
        config::_40_titleLogoData,
        config::_41_titleMinisizeIconData,
        config::_42_titleMaxsizeIconData,
        config::_43_titleRestoreIconData,
        config::_44_titleCloseIconData,
    };
    return commands[int(which)];
}

const QString &commandOf(BrowserHost::Metric which)
{
    // In the order of the enumeration.
    static const QString commands[] = {
        config::_10_titleHeight,
        config::_11_titleLeft,
        config::_12_titleRight,
        config::_13_titleSkip,
        config::_51_miniWidth,
    };
    return commands[int(which)];
}

const QString &commandOf(BrowserHost::Button which)
{
    // In the order of the enumeration.
    static const QString commands[] = {
        event::_30_updateOpenOutside,
        event::_40_updateCheckChannel,
        event::_41_updateStoreToZuvo,
        event::_42_updateShareToFriend,
    };
    return commands[int(which)];
}

QString joined(std::initializer_list<int> numbers)
{
    QStringList parts;
    for (int number : numbers)
        parts.append(QString::number(number));
    return parts.join(QLatin1Char(','));
}

QString rgbaText(const QColor &colour)
{
    return joined({colour.red(), colour.green(), colour.blue(), colour.alpha()});
}

// "x,y,width,height,maximised" of the window frame.
bool parsePosition(const QByteArray &payload, QRect *frame, bool *maximised)
{
    const QList<QByteArray> fields = payload.split(',');
    if (fields.size() != 5)
        return false;
    int numbers[5];
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        numbers[i] = fields[i].trimmed().toInt(&ok);
        if (!ok)
            return false;
    }
    if (numbers[2] < 0 || numbers[3] < 0 || (numbers[4] != 0 && numbers[4] != 1))
        return false;
    *frame = QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
    *maximised = numbers[4] == 1;
    return true;
}

QByteArray pngOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class Q_DECL_HIDDEN BrowserHost::Private
{
public:
    explicit Private(BrowserHost *host)
        : q(host)
    {
    }

    void send(const QString &group, const QString &command, const QByteArray &payload)
    {
        sendRaw(wirecodec::encode(group, command, payload));
    }
    void sendText(const QString &group, const QString &command, const QString &text)
    {
        send(group, command, text.toUtf8());
    }
    void sendRaw(const QByteArray &bytes);

    void onNewConnection();
    bool isOwnBrowser(QLocalSocket *socket) const;
    void onReadyRead();
    void handleMessage(const QString &text);
    bool dispatch(const wirecodec::Message &message);
    bool dispatchFeedback(const QString &command, const QByteArray &payload);

    BrowserHost *q;
    QLocalServer server;
    QPointer<QLocalSocket> client;
    MessageFramer framer;
    BrowserProcess process;
    StandardDownloadService standardDownloads;
    DownloadService *downloads = &standardDownloads;
    QByteArray waiting; // for a browser that has not connected yet
    bool started = false;
    bool ending = false;
    bool linkEnded = false;
    qint64 dropped = 0;
    qint64 refusedConnections = 0;
};

void BrowserHost::Private::sendRaw(const QByteArray &bytes)
{
    if (client)
        client->write(bytes);
    else if (!linkEnded)
        waiting += bytes;
}

void BrowserHost::Private::onNewConnection()
{
    QLocalSocket *socket = server.nextPendingConnection();
    if (!socket)
        return;
    if (!isOwnBrowser(socket)) {
        ++refusedConnections;
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (client || ending || linkEnded) {
        // One browser per link, and none once it is ending.
        socket->abort();
        socket->deleteLater();
        return;
    }
    client = socket;
    QObject::connect(socket, &QLocalSocket::readyRead, q, [this] { onReadyRead(); });
    QObject::connect(socket, &QLocalSocket::disconnected, q, [this, socket] {
        linkEnded = true;
        socket->deleteLater();
        emit q->disconnected();
    });
    socket->write(waiting);
    waiting.clear();
    emit q->connected();
}

bool BrowserHost::Private::isOwnBrowser(QLocalSocket *socket) const
{
    const std::optional<PeerCredentials> peer = peerCredentials(int(socket->socketDescriptor()));
    // A wrapper may start the browser, so its process may be below ours.
    return peer && peer->uid == getuid() && isProcessOrBelow(peer->pid, pid_t(process.processId()));
}

void BrowserHost::Private::onReadyRead()
{
    if (!client)
        return;
    const QStringList messages = framer.append(client->readAll());
    for (const QString &text : messages)
        handleMessage(text);
}

void BrowserHost::Private::handleMessage(const QString &text)
{
    const wirecodec::Message message = wirecodec::decode(text);
    emit q->messageReceived(message.group, message.command, message.payload);
    // The browser always sends all three fields; a message without them is
    // not one of its own.
    const bool complete = text.count(QLatin1Char(':')) >= 2;
    if (!complete || !dispatch(message))
        ++dropped;
}

bool BrowserHost::Private::dispatch(const wirecodec::Message &message)
{
    if (message.group == feedback::prefix)
        return dispatchFeedback(message.command, message.payload);
    if (message.group == iq::prefix) {
        if (message.command != iq::_10_currentUserInfo || message.payload.isEmpty())
            return false;
        emit q->userInfoRequested(QString::fromUtf8(message.payload));
        return true;
    }
    if (message.group == webfile::prefix) {
        const Zuvo::Private::DownloadAnswer answer =
            Zuvo::Private::answerDownloadRequest(*downloads, message.command, message.payload);
        if (answer.reply)
            send(answer.reply->group, answer.reply->command, answer.reply->payload);
        return answer.understood;
    }
    return false;
}

bool BrowserHost::Private::dispatchFeedback(const QString &command, const QByteArray &payload)
{
    static const QHash<QString, void (BrowserHost::*)()> clicks = {
        {feedback::_10_storeToZuvo, &BrowserHost::storeClicked},
        {feedback::_11_share, &BrowserHost::shareClicked},
        {feedback::_12_channel, &BrowserHost::channelClicked},
        {feedback::_13_refresh, &BrowserHost::refreshClicked},
        {feedback::_15_openOutside, &BrowserHost::openOutsideClicked},
    };
    if (const auto click = clicks.find(command); click != clicks.end()) {
        (q->*click.value())();
        return true;
    }
    if (command == feedback::_14_savePossition) {
        QRect frame;
        bool maximised = false;
        if (!parsePosition(payload, &frame, &maximised))
            return false;
        emit q->positionChanged(frame, maximised);
        return true;
    }
    if (command == feedback::_16_goto_channel) {
        emit q->channelRequested(QString::fromUtf8(payload));
        return true;
    }
    if (command == feedback::_17_receive_log) {
        emit q->logReceived(QString::fromUtf8(payload));
        return true;
    }
    return false;
}

BrowserHost::BrowserHost(QObject *parent)
    : QObject(parent)
    , _d(std::make_unique<Private>(this))
{
    connect(&_d->server, &QLocalServer::newConnection, this, [this] { _d->onNewConnection(); });
    BrowserProcess *process = &_d->process;
    connect(process, &BrowserProcess::started, this, &BrowserHost::browserStarted);
    connect(process, &BrowserProcess::failedToStart, this, &BrowserHost::browserFailedToStart);
    connect(process, &BrowserProcess::finished, this, &BrowserHost::browserFinished);
    connect(process, &BrowserProcess::outputLine, this, &BrowserHost::browserOutputLine);
    connect(process, &BrowserProcess::killing, this, &BrowserHost::killingBrowser);
}

BrowserHost::~BrowserHost()
{
    // Nothing is reported from a host being destroyed.
    if (_d->client) {
        _d->client->disconnect(this);
        _d->client->abort();
    }
    _d->process.disconnect(this);
}

QString BrowserHost::endpointFor(const QString &browserExecutable)
{
    const QFileInfo browser(browserExecutable);
    const QString resolved = browser.canonicalFilePath();
    const QString folder = resolved.isEmpty() ? browser.absolutePath() : QFileInfo(resolved).absolutePath();
    const QByteArray digest = QCryptographicHash::hash(folder.toLocal8Bit(), QCryptographicHash::Md5).toHex();
    return QStringLiteral("/tmp/") + QString::fromLatin1(digest) +
           QStringLiteral("-ChannelWebBroswerProcess-{87A94AB0-E370-4cde-98D3-ACC110C5967D}");
}

void BrowserHost::setBrowserOutput(BrowserOutput output)
{
    _d->process.setOutput(output);
}

bool BrowserHost::start(const QString &browserExecutable, QString *error)
{
    const QString endpoint = endpointFor(browserExecutable);
    if (_d->started) {
        if (error)
            *error = QStringLiteral("the browser has been started already");
        return false;
    }
    QLocalServer::removeServer(endpoint);
    // Only this user can even connect; the peer check then finds the browser.
    _d->server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!_d->server.listen(endpoint)) {
        if (error)
            *error = QStringLiteral("cannot listen on %1").arg(endpoint);
        return false;
    }
    _d->started = true;
    emit listening(_d->server.fullServerName());
    _d->process.start(browserExecutable);
    return true;
}

QString BrowserHost::endpoint() const
{
    return _d->server.fullServerName();
}

bool BrowserHost::isConnected() const
{
    return _d->client && _d->client->state() == QLocalSocket::ConnectedState;
}

bool BrowserHost::isBrowserRunning() const
{
    return _d->process.isRunning();
}

void BrowserHost::end(int graceMilliseconds)
{
    _d->ending = true;
    _d->waiting.clear();
    if (_d->client)
        _d->client->disconnectFromServer();
    _d->process.killUnlessExitedWithin(graceMilliseconds);
}

void BrowserHost::kill()
{
    _d->process.kill();
}

void BrowserHost::setTitle(const QString &title)
{
    _d->sendText(config::prefix, config::_01_title, title);
}

void BrowserHost::setText(Text which, const QString &text)
{
    _d->sendText(config::prefix, commandOf(which), text);
}

void BrowserHost::setAccessToken(const QString &token)
{
    _d->standardDownloads.setAccessToken(token);
    _d->sendText(config::prefix, config::_70_accessToken, token);
}

void BrowserHost::setMetric(Metric which, int pixels)
{
    _d->sendText(config::prefix, commandOf(which), QString::number(pixels));
}

bool BrowserHost::setTitleBarColor(const QColor &colour)
{
    if (!colour.isValid())
        return false;
    _d->sendText(config::prefix, config::_20_titleBackgroundColor, rgbaText(colour));
    return true;
}

bool BrowserHost::setFrameColor(const QColor &colour)
{
    if (!colour.isValid())
        return false;
    _d->sendText(config::prefix, config::_22_shadowColor, rgbaText(colour));
    return true;
}

bool BrowserHost::setContentBackgroundColor(const QColor &colour)
{
    const QRgb rgb = colour.rgb() & 0xffffff;
    if (!colour.isValid() || rgb == 0)
        return false;
    _d->sendText(config::prefix, config::_21_containerBackgroundColor, QString::number(rgb));
    return true;
}

void BrowserHost::setImage(Image which, const QImage &image)
{
    setImageFile(which, pngOf(image));
}

void BrowserHost::setImageFile(Image which, const QByteArray &fileBytes)
{
    _d->send(config::prefix, commandOf(which), fileBytes);
}

void BrowserHost::setWindowGeometry(const QRect &frame, bool maximised)
{
    _d->sendText(config::prefix, config::_50_windowsRect,
                 joined({frame.x(), frame.y(), frame.width(), frame.height(), maximised ? 1 : 0}));
}

void BrowserHost::setConfirmBoxSize(const QSize &size)
{
    _d->sendText(config::prefix, config::_62_infoBoxSize, joined({size.width(), size.height()}));
}

void BrowserHost::setConfirmBoxMargins(const QMargins &margins)
{
    _d->sendText(config::prefix, config::_63_infoBoxMargin,
                 joined({margins.left(), margins.top(), margins.right(), margins.bottom()}));
}

void BrowserHost::showUrl(const QUrl &url)
{
    _d->sendText(event::prefix, event::_20_showUrl, url.toString(QUrl::FullyEncoded));
}

void BrowserHost::activate()
{
    _d->send(event::prefix, event::_10_active, QByteArray());
}

void BrowserHost::setButtonVisible(Button which, bool visible)
{
    _d->sendText(event::prefix, commandOf(which), visible ? QStringLiteral("true") : QStringLiteral("false"));
}

void BrowserHost::showMessage(const QString &text)
{
    _d->sendText(event::prefix, event::_50_showBoxMessage, text);
}

void BrowserHost::answerUserInfo(const QString &key, const QString &info)
{
    const QJsonObject reply{{QStringLiteral("key"), key}, {QStringLiteral("info"), info}};
    _d->send(iq::prefix, iq::_11_currentUserInfo, QJsonDocument(reply).toJson(QJsonDocument::Compact));
}

void BrowserHost::setDownloadService(DownloadService *service)
{
    _d->downloads = service ? service : &_d->standardDownloads;
}

DownloadService *BrowserHost::downloadService() const
{
    return _d->downloads;
}

StandardDownloadService *BrowserHost::standardDownloadService() const
{
    return &_d->standardDownloads;
}

void BrowserHost::sendRaw(const QByteArray &bytes)
{
    _d->sendRaw(bytes);
}

void BrowserHost::setTrustedOrigins(const QStringList &origins)
{
    _d->sendText(config::prefix, config::_71_trustedOrigins,
                 QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(origins)).toJson(QJsonDocument::Compact)));
}

void BrowserHost::setStrictCertificates(const QList<QByteArray> &sha256)
{
    QJsonArray fingerprints;
    for (const QByteArray &digest : sha256) {
        if (digest.size() == 32)
            fingerprints.append(QString::fromLatin1(digest.toHex()));
    }
    _d->sendText(config::prefix, config::_72_strictCertificates,
                 QString::fromUtf8(QJsonDocument(fingerprints).toJson(QJsonDocument::Compact)));
}

void BrowserHost::setLanguage(const QString &bcp47Tag)
{
    _d->sendText(config::prefix, config::_73_language, bcp47Tag);
}

qint64 BrowserHost::refusedConnectionCount() const
{
    return _d->refusedConnections;
}

qint64 BrowserHost::droppedMessageCount() const
{
    return _d->dropped;
}

} // namespace Zuvo
