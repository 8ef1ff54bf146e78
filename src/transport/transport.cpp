#include "transport.h"
#include "linkguard.h"
#include "peercredentials.h"
#include "wirecodec.h"

#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"
#include "zuvolog.h"
#include "zwProtoc.h"
#include "linux/pspecific_linux.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDebug>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <mutex>
#include <unistd.h>

namespace config = zuvo_web_protoc::zuvo_web_protoc_1_config;
namespace event = zuvo_web_protoc::zuvo_web_protoc_2_event;
namespace feedback = zuvo_web_protoc::zuvo_web_protoc_3_feedback;
namespace webfile = zuvo_web_protoc::zuvo_web_protoc_4_webfile;
namespace iq = zuvo_web_protoc::zuvo_web_protoc_5_iq;

namespace {

QString compactJson(const QJsonObject &object)
{
    // QJsonObject keeps its members sorted by name, which the wire form wants.
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QList<int> integerList(const QString &text)
{
    QList<int> numbers;
    const QStringList parts = text.split(QLatin1Char(','));
    for (const QString &part : parts)
        numbers.append(part.toInt());
    return numbers;
}

// Geometry from the host is refused beyond these: no screen is larger, and
// sums and differences of a few such numbers stay far inside int.
constexpr int kLargestLength = 16384;
constexpr int kLargestCoordinate = 32767;
// Host images are title-bar pictures and window icons; a declared size beyond
// this is refused before the decoder allocates for it.
constexpr int kLargestImageSide = 1024;

bool isLength(int n)
{
    return n >= 0 && n <= kLargestLength;
}

bool isCoordinate(int n)
{
    return n >= -kLargestCoordinate && n <= kLargestCoordinate;
}

bool allCoordinates(const QList<int> &numbers, int count)
{
    return std::all_of(numbers.begin(), numbers.begin() + count, isCoordinate);
}

using TextSetter = void (*)(QString);
using IntegerSetter = void (*)(int);
using ImageSetter = void (*)(QPixmap *);
using FlagSetter = void (*)(bool);
using WindowUpdate = void (*)();
using ReplyEntry = void (*)(QByteArray);

const QHash<QString, TextSetter> &textSetters()
{
    static const QHash<QString, TextSetter> setters = {
        {config::_01_title, &ZuvoChatWBConfigure::SetTitle},
        {config::_30_refreshBtnText, &ZuvoChatWBConfigure::SetTitleRefreshText},
        {config::_31_collectBtnText, &ZuvoChatWBConfigure::SetTitleCollectText},
        {config::_32_shareBtnText, &ZuvoChatWBConfigure::SetTitleShareText},
        {config::_33_channelBtnText, &ZuvoChatWBConfigure::SetTitleChannelText},
        {config::_34_openoutsideBtnText, &ZuvoChatWBConfigure::SetTitleOpenOutsideText},
        {config::_80_webFileBtnText, &ZuvoChatWBConfigure::SetTitleWebFileText},
        {config::_81_webFileEmptyText, &ZuvoChatWBConfigure::SetWebFileEmptyText},
        {config::_82_webFileSuccessText, &ZuvoChatWBConfigure::SetWebFileSuccessText},
        {config::_83_webFileFailedText, &ZuvoChatWBConfigure::SetWebFileFailedText},
        {config::_84_webFileOpenInFolderText, &ZuvoChatWBConfigure::SetWebFileOpenInFolderText},
        {config::_85_webFileBackText, &ZuvoChatWBConfigure::SetWebFileBackText},
        {config::_86_webFileRedownloadText, &ZuvoChatWBConfigure::SetWebFileRedownloadText},
        {config::_87_webFileMissedText, &ZuvoChatWBConfigure::SetWebFileMissedText},
        {config::_88_webFileRemoveAllText, &ZuvoChatWBConfigure::SetWebFileRemoveAllText},
        {config::_890_webFileRemoveTipsText, &ZuvoChatWBConfigure::SetWebFileRemoveTipsText},
        {config::_891_webFileRemoveAllTipsText, &ZuvoChatWBConfigure::SetWebFileRemoveAllTipsText},
        {config::_60_infoBoxOk, &ZuvoChatWBConfigure::SetInfoOK},
        {config::_61_infoBoxCancel, &ZuvoChatWBConfigure::SetInfoCancel},
        {config::_64_infoBoxDelete, &ZuvoChatWBConfigure::SetInfoDelete},
        {config::_65_infoBoxClean, &ZuvoChatWBConfigure::SetInfoClean},
    };
    return setters;
}

const QHash<QString, IntegerSetter> &integerSetters()
{
    static const QHash<QString, IntegerSetter> setters = {
        {config::_10_titleHeight, &ZuvoChatWBConfigure::SetTitleHeight},
        {config::_11_titleLeft, &ZuvoChatWBConfigure::SetTitleLeft},
        {config::_12_titleRight, &ZuvoChatWBConfigure::SetTitleRight},
        {config::_13_titleSkip, &ZuvoChatWBConfigure::SetTitleSkip},
        {config::_51_miniWidth, &ZuvoChatWBConfigure::SetMiniWidth},
    };
    return setters;
}

const QHash<QString, ImageSetter> &imageSetters()
{
    static const QHash<QString, ImageSetter> setters = {
        {config::_02_titleIcon, &ZuvoChatWBConfigure::SetWindowIcon},
        {config::_40_titleLogoData, &ZuvoChatWBConfigure::SetTitleChannelLogo},
        {config::_41_titleMinisizeIconData, &ZuvoChatWBConfigure::SetTitleMiniIcon},
        {config::_42_titleMaxsizeIconData, &ZuvoChatWBConfigure::SetTitleMaxIcon},
        {config::_43_titleRestoreIconData, &ZuvoChatWBConfigure::SetTitleRestoreIcon},
        {config::_44_titleCloseIconData, &ZuvoChatWBConfigure::SetTitleCloseIcon},
    };
    return setters;
}

struct ButtonUpdate {
    FlagSetter store;
    WindowUpdate window;
};

const QHash<QString, ButtonUpdate> &buttonUpdates()
{
    static const QHash<QString, ButtonUpdate> updates = {
        {event::_30_updateOpenOutside,
         {&ZuvoChatWBConfigure::SetTitleOpenOutsideShow, &ZuvoChatWebBroswer::updateOpenOutside}},
        {event::_40_updateCheckChannel,
         {&ZuvoChatWBConfigure::SetTitleCheckChannelShow, &ZuvoChatWebBroswer::updateCheckChannel}},
        {event::_41_updateStoreToZuvo,
         {&ZuvoChatWBConfigure::SetTitleStoreToZuvoShow, &ZuvoChatWebBroswer::updateStoreToZuvo}},
        {event::_42_updateShareToFriend,
         {&ZuvoChatWBConfigure::SetTitleShareToFriendShow, &ZuvoChatWebBroswer::updateShareToFriend}},
    };
    return updates;
}

const QHash<QString, ReplyEntry> &webfileReplies()
{
    static const QHash<QString, ReplyEntry> entries = {
        {webfile::_11_getFileList, &ZuvoChatWebBroswer::webfileListResponse},
        {webfile::_21_getDownloadOffset, &ZuvoChatWebBroswer::webfileDownloadOffsetResponse},
        {webfile::_41_startDownload, &ZuvoChatWebBroswer::startDownloadResponse},
        {webfile::_51_restartDownload, &ZuvoChatWebBroswer::restartDownloadResponse},
        {webfile::_61_removeHistory, &ZuvoChatWebBroswer::removeHistoryResponse},
        {webfile::_63_removeAllHistory, &ZuvoChatWebBroswer::removeAllHistoryResponse},
    };
    return entries;
}

// An image whose header declares more than an icon's size is treated like an
// unreadable one, so its pixels are never allocated.
QImage decodeIconImage(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize declared = reader.size();
    if (!declared.isValid() || declared.width() > kLargestImageSide || declared.height() > kLargestImageSide)
        return QImage();
    return reader.read();
}

// Host images are drawn for 100 %: scale them to the display unless the
// toolkit scales by itself, in which case they only need the ratio.
QPixmap *displayImage(const QByteArray &data)
{
    auto *image = new QPixmap;
    if (const QImage decoded = decodeIconImage(data); !decoded.isNull())
        image->convertFromImage(decoded);
    if (ZuvoChatWBConfigure::Retina()) {
        image->setDevicePixelRatio(ZuvoChatWBConfigure::RetinaFactor());
        return image;
    }
    ZuvoChatWBConfigure::DBIScale scale = ZuvoChatWBConfigure::RealScale();
    if (scale == ZuvoChatWBConfigure::dbisAuto)
        scale = ZuvoChatWBConfigure::ScreenScale();
    if (scale == ZuvoChatWBConfigure::dbisOne)
        return image;
    auto *scaled = new QPixmap(image->scaledToWidth(ZuvoChatWBConfigure::convertScale<int>(image->width()),
                                                    Qt::SmoothTransformation));
    delete image;
    return scaled;
}

void applyColour(const QString &cmd, const QString &text)
{
    const QList<int> parts = integerList(text);
    if (parts.size() < 4)
        return;
    const QColor colour(parts[0], parts[1], parts[2], parts[3]);
    if (cmd == config::_20_titleBackgroundColor)
        ZuvoChatWBConfigure::SetTitleBG(QBrush(colour, Qt::SolidPattern));
    else
        ZuvoChatWBConfigure::SetShadowColor(colour);
}

void applyContainerColour(const QString &text)
{
    const uint rgb = text.toUInt();
    if (rgb == 0)
        return;
    ZuvoChatWBConfigure::SetContainerBG(QBrush(QColor(QRgb(rgb)), Qt::SolidPattern));
}

void applyWindowRect(const QString &text)
{
    const QList<int> parts = integerList(text);
    if (parts.size() < 4 || !isCoordinate(parts[0]) || !isCoordinate(parts[1]) || !isLength(parts[2]) ||
        !isLength(parts[3]))
        return;
    ZuvoChatWBConfigure::SetGeometry(QRect(parts[0], parts[1], parts[2], parts[3]));
    ZuvoChatWBConfigure::SetHostPosition(QPoint(parts[0], parts[1]));
    if (parts.size() >= 5 && parts[4] == 1)
        ZuvoChatWBConfigure::SetMaxsized(true);
}

void applyInfoBoxSize(const QString &text)
{
    const QList<int> parts = integerList(text);
    if (parts.size() >= 2 && isLength(parts[0]) && isLength(parts[1]))
        ZuvoChatWBConfigure::SetInfoBoxSize(QSize(parts[0], parts[1]));
}

void applyInfoBoxMargins(const QString &text)
{
    const QList<int> parts = integerList(text);
    if (parts.size() >= 4 && allCoordinates(parts, 4))
        ZuvoChatWBConfigure::SetInfoBoxMargins(QMargins(parts[0], parts[1], parts[2], parts[3]));
}

} // namespace

transport *transport::shareInstance()
{
    static std::once_flag created;
    static transport *instance = nullptr;
    std::call_once(created, [] {
        instance = new transport;
        instance->init();
    });
    return instance;
}

QString transport::serverNameFor(const QString &currentDir)
{
    const QString dir = QString::fromUtf8(currentDir.toUtf8());
    const QString hashDir =
        QString::fromLatin1(QCryptographicHash::hash(dir.toLocal8Bit(), QCryptographicHash::Md5).toHex());
    return psServerPrefix() + hashDir + QStringLiteral("-ChannelWebBroswerProcess-") + QLatin1String(cGUIDStr());
}

void transport::init()
{
    connect(&_socket, SIGNAL(connected()), this, SLOT(socketConnected()));
    connect(&_socket, SIGNAL(disconnected()), this, SLOT(socketDisconnected()));
    connect(&_socket, SIGNAL(errorOccurred(QLocalSocket::LocalSocketError)), this,
            SLOT(socketError(QLocalSocket::LocalSocketError)));
    connect(&_socket, SIGNAL(bytesWritten(qint64)), this, SLOT(socketWritten(qint64)));
    connect(&_socket, SIGNAL(readyRead()), this, SLOT(socketReading()));
    _receivedBytes.clear();
    _clock.start();
    // A flooding page drops thousands of messages a second; one line a
    // second says how many without flooding the log instead.
    _pageDropReport.setSingleShot(true);
    _pageDropReport.setInterval(1000);
    connect(&_pageDropReport, SIGNAL(timeout()), this, SLOT(logPageDrops()));
}

void transport::connectToZuvo(QString serverName)
{
    _socket.connectToServer(serverName, QIODevice::ReadWrite);
}

void transport::socketConnected()
{
    qCDebug(zuvoLink) << "socketConnected";
    if (!hostIsOwnUser()) {
        // Whoever got to the endpoint first is not this user's chat client:
        // nothing it sends is read, and the process ends as without a host.
        _hostRefused = true;
        _socket.abort();
        endOfLink();
        return;
    }
    if (_processGraceMs >= 0)
        guardProcessByLink(int(_socket.socketDescriptor()), _processGraceMs);
    emit hostAccepted();
}

bool transport::hostIsOwnUser() const
{
    const std::optional<PeerCredentials> peer = peerCredentials(int(_socket.socketDescriptor()));
    if (peer && peer->uid == getuid())
        return true;
    qCWarning(zuvoLink).noquote() << QStringLiteral("host refused: it runs as user %1, this browser as user %2")
                                         .arg(peer ? QString::number(peer->uid) : QStringLiteral("unknown"))
                                         .arg(getuid());
    return false;
}

void transport::socketDisconnected()
{
    qCDebug(zuvoLink) << "socketDisconnected";
    endOfLink();
}

void transport::socketError(QLocalSocket::LocalSocketError e)
{
    qCDebug(zuvoLink) << "QLocalSocket::LocalSocketError e:" << e;
    endOfLink();
}

void transport::endOfLink()
{
    ZuvoChatWebBroswer::destory();
    QTimer::singleShot(500, [] { QCoreApplication::exit(0); });
}

void transport::socketWritten(qint64 bytes)
{
    qCDebug(zuvoLinkIo) << "socketWritten:" << bytes;
}

void transport::socketReading()
{
    qCDebug(zuvoLinkIo) << "socketReading";
    if (_hostRefused)
        return;
    receiveBytes(_socket.readAll());
}

void transport::receiveBytes(const QByteArray &bytes)
{
    // Held while the commands run: no handler may spin a nested event loop.
    QMutexLocker locker(&_receivedBytesMutex);
    const QStringList messages = _receivedBytes.append(bytes);
    for (const QString &message : messages)
        parseCmd(message);
}

QByteArray transport::encodeMessage(const QString &prefix, const QString &cmd, const QString &value)
{
    return wirecodec::encodeText(prefix, cmd, value);
}

void transport::write(const QString &prefix, const QString &cmd, const QString &value)
{
    // Test mode has no link, and none is left once it ended.
    if (_socket.state() != QLocalSocket::ConnectedState) {
        qCDebug(zuvoLinkIo).noquote() << "no link, not sent:" << prefix + QLatin1Char(':') + cmd;
        return;
    }
    _socket.write(encodeMessage(prefix, cmd, value));
}

void transport::writePageMessage(const QString &cmd, const QString &value, qint64 pageTextBytes)
{
    if (_socket.state() == QLocalSocket::ConnectedState &&
        _pageBudget.admit(pageTextBytes, _socket.bytesToWrite(), _clock.elapsed()) !=
            PageMessageBudget::Verdict::Send) {
        if (!_pageDropReport.isActive())
            _pageDropReport.start();
        return;
    }
    writeFeedback(cmd, value);
}

void transport::logPageDrops()
{
    const PageMessageBudget::Drops drops = _pageBudget.takeDrops();
    qCWarning(zuvoWeb).nospace() << "page messages not sent to the host in the last second: " << drops.total()
                                 << " (" << drops.tooLong << " longer than 64 KiB, " << drops.overRate
                                 << " over the page's rate, " << drops.hostBehind << " while the host was behind)";
}

void transport::writeFeedback(const QString &cmd, const QString &value)
{
    write(feedback::prefix, cmd, value);
}

void transport::writeWebfile(const QString &cmd, const QString &value)
{
    write(webfile::prefix, cmd, value);
}

void transport::writeIQ(const QString &cmd, const QString &value)
{
    write(iq::prefix, cmd, value);
}

void transport::refresh() { writeFeedback(feedback::_13_refresh); }
void transport::storeToZuvo() { writeFeedback(feedback::_10_storeToZuvo); }
void transport::shareArtile() { writeFeedback(feedback::_11_share); }
void transport::showChannel() { writeFeedback(feedback::_12_channel); }
void transport::openOutside() { writeFeedback(feedback::_15_openOutside); }
void transport::goToChannel(QString channelId, qint64 pageTextBytes)
{
    writePageMessage(feedback::_16_goto_channel, channelId, pageTextBytes);
}

void transport::onReceiveLog(QString log)
{
    writePageMessage(feedback::_17_receive_log, log, PageMessageBudget::utf8Length(log));
}

void transport::savePosition(QString value) { writeFeedback(feedback::_14_savePossition, value); }
void transport::currentUserInfo(QString requestid) { writeIQ(iq::_10_currentUserInfo, requestid); }
void transport::getWebfileList(QString requestid) { writeWebfile(webfile::_10_getFileList, requestid); }
void transport::openFileFoler(QString fileKey) { writeWebfile(webfile::_30_openFileFolder, fileKey); }

void transport::getWebfileDownloadOffset(QString requestid, QStringList fileList)
{
    const QJsonObject payload{{QStringLiteral("key"), requestid},
                              {QStringLiteral("fileList"), QJsonArray::fromStringList(fileList)}};
    writeWebfile(webfile::_20_getDownloadOffset, compactJson(payload));
}

void transport::downloadFile(QString requestid, QString url, QString name)
{
    const QJsonObject payload{
        {QStringLiteral("key"), requestid}, {QStringLiteral("url"), url}, {QStringLiteral("name"), name}};
    writeWebfile(webfile::_40_startDownload, compactJson(payload));
}

void transport::redownloadFile(QString requestid, QString key)
{
    const QJsonObject payload{{QStringLiteral("key"), requestid}, {QStringLiteral("fileKey"), key}};
    writeWebfile(webfile::_50_restartDownload, compactJson(payload));
}

void transport::removeDownloadFile(QString requestid, QString key)
{
    const QJsonObject payload{{QStringLiteral("key"), requestid}, {QStringLiteral("fileKey"), key}};
    writeWebfile(webfile::_60_removeHistory, compactJson(payload));
}

void transport::removeAllDownloadFile(QString requestid)
{
    const QJsonObject payload{{QStringLiteral("key"), requestid}};
    writeWebfile(webfile::_62_removeAllHistory, compactJson(payload));
}

void transport::parseCmd(QString cmdString)
{
    const QStringList fields = cmdString.split(QLatin1Char(':'));
    qCDebug(zuvoLinkMessages).noquote() << "received" << fields.value(0) << fields.value(1) << fields.value(2).size();
    if (fields.size() < 2)
        return;
    const QString &group = fields[0];
    if (group == event::prefix) {
        parseEventCmd(fields[1], fields.size() >= 3 ? fields[2] : QString());
        return;
    }
    if (fields.size() < 3)
        return;
    if (group == config::prefix)
        parseConfigCmd(fields[1], fields[2]);
    else if (group == feedback::prefix)
        parseFeedbackCmd(fields[1], fields[2]);
    else if (group == webfile::prefix)
        parseWebFileCmd(fields[1], fields[2]);
    else if (group == iq::prefix)
        parseIQCmd(fields[1], fields[2]);
}

void transport::parseConfigCmd(QString cmd, QString value)
{
    const QByteArray valueData = wirecodec::decodePayload(value);

    if (const auto setter = textSetters().value(cmd)) {
        const QString text = QString::fromUtf8(valueData);
        if (!text.isEmpty())
            setter(text);
    } else if (const auto setter = integerSetters().value(cmd)) {
        const int n = QString::fromUtf8(valueData).toInt();
        if (n > 0 && isLength(n))
            setter(n);
    } else if (const auto setter = imageSetters().value(cmd)) {
        setter(displayImage(valueData));
    } else if (cmd == config::_70_accessToken) {
        ZuvoChatWBConfigure::SetAccessToken(QString::fromUtf8(valueData));
    } else if (cmd == config::_71_trustedOrigins) {
        ZuvoChatWBConfigure::SetTrustedOrigins(TrustedOriginList::fromJson(valueData));
    } else if (cmd == config::_72_strictCertificates) {
        if (const std::optional<CertificateRule> rule = CertificateRule::fromJson(valueData))
            ZuvoChatWBConfigure::SetStrictCertificates(*rule);
    } else if (cmd == config::_73_language) {
        ZuvoChatWBConfigure::SetLanguage(QString::fromUtf8(valueData));
    } else if (cmd == config::_20_titleBackgroundColor || cmd == config::_22_shadowColor) {
        applyColour(cmd, QString::fromUtf8(valueData));
    } else if (cmd == config::_21_containerBackgroundColor) {
        applyContainerColour(QString::fromUtf8(valueData));
    } else if (cmd == config::_50_windowsRect) {
        applyWindowRect(QString::fromUtf8(valueData));
    } else if (cmd == config::_62_infoBoxSize) {
        applyInfoBoxSize(QString::fromUtf8(valueData));
    } else if (cmd == config::_63_infoBoxMargin) {
        applyInfoBoxMargins(QString::fromUtf8(valueData));
    }
}

void transport::parseEventCmd(QString cmd, QString value)
{
    const QString text = QString::fromUtf8(wirecodec::decodePayload(value));

    if (cmd == event::_10_active) {
        ZuvoChatWebBroswer::activeWnd();
    } else if (cmd == event::_20_showUrl) {
        ZuvoChatWebBroswer::newZuvoChatWebBroswer(text, nullptr);
    } else if (buttonUpdates().contains(cmd)) {
        const ButtonUpdate update = buttonUpdates().value(cmd);
        update.store(text.trimmed().toLower() == QLatin1String("true"));
        update.window();
    } else if (cmd == event::_50_showBoxMessage) {
        if (!text.isEmpty())
            ZuvoChatWebBroswer::showInfo(text);
    }
}

void transport::parseFeedbackCmd(QString, QString)
{
}

void transport::parseWebFileCmd(QString cmd, QString value)
{
    const QByteArray valueData = wirecodec::decodePayload(value);
    if (valueData.isEmpty())
        return;
    if (const auto entry = webfileReplies().value(cmd))
        entry(valueData);
}

void transport::parseIQCmd(QString cmd, QString value)
{
    const QByteArray valueData = wirecodec::decodePayload(value);
    if (cmd == iq::_11_currentUserInfo && !valueData.isEmpty())
        ZuvoChatWebBroswer::iqCurrentUserInfo(valueData);
}
