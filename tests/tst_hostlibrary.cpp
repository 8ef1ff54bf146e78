// The host library seen from an integrator's program: typed settings and
// events against the bytes a browser receives, every feedback signal with its
// typed arguments against the bytes a browser sends, and a download service of
// the program's own answering the download panel. The process the host
// starts is a stand-in that relays the link to a socket of this test, which
// speaks as the browser would; one test starts a stand-in that only says how
// it was started.

#include "transport/messageframer.h"
#include "transport/wirecodec.h"

#include <ZuvoBrowserHost/browserhost.h>
#include <ZuvoBrowserHost/downloadservice.h>
#include <ZuvoBrowserHost/standarddownloadservice.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include <unistd.h>

using Zuvo::BrowserHost;
using Zuvo::DownloadRecord;

namespace {

const int timeout = 10000;

QByteArray message(const QString &group, const QString &command, const QByteArray &payload)
{
    return wirecodec::encode(group, command, payload);
}

// A host with a started stand-in browser that relays between the host's
// endpoint and a socket of this test, which so speaks as the browser would.
class LinkedHost
{
public:
    LinkedHost()
    {
        _relayServer.listen(QStringLiteral("zuvo-relay-%1-%2").arg(QCoreApplication::applicationPid()).arg(quintptr(this)));
        _script = _dir.filePath(QStringLiteral("browser"));
        QFile file(_script);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(QStringLiteral("#!/bin/sh\nexec '%1' '%2' '%3'\n")
                           .arg(QStringLiteral(ZUVO_LINK_RELAY), BrowserHost::endpointFor(_script), _relayServer.fullServerName())
                           .toLocal8Bit());
        }
        file.close();
        QFile::setPermissions(_script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ~LinkedHost()
    {
        if (socket)
            socket->abort();
    }

    bool start() { return host.start(_script); }

    bool connectAsBrowser()
    {
        if (!_relayServer.waitForNewConnection(timeout))
            return false;
        socket = _relayServer.nextPendingConnection();
        QObject::connect(socket, &QLocalSocket::readyRead, [this] { received += socket->readAll(); });
        received += socket->readAll();
        QElapsedTimer timer;
        timer.start();
        while (!host.isConnected() && timer.elapsed() < timeout)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        return host.isConnected();
    }

    void sendAsBrowser(const QByteArray &bytes)
    {
        socket->write(bytes);
        socket->flush();
    }

    QList<wirecodec::Message> receivedMessages() const
    {
        QList<wirecodec::Message> messages;
        for (const QString &text : MessageFramer().append(received))
            messages.append(wirecodec::decode(text));
        return messages;
    }

    BrowserHost host;
    QLocalSocket *socket = nullptr;
    QByteArray received;

private:
    QTemporaryDir _dir;
    QString _script;
    QLocalServer _relayServer;
};

// Every feedback signal as one line: its name and its arguments.
void recordFeedback(BrowserHost &host, QStringList *lines)
{
    const auto plain = [&host, lines](void (BrowserHost::*signal)(), const QString &name) {
        QObject::connect(&host, signal, [lines, name] { lines->append(name); });
    };
    plain(&BrowserHost::storeClicked, QStringLiteral("storeClicked"));
    plain(&BrowserHost::shareClicked, QStringLiteral("shareClicked"));
    plain(&BrowserHost::channelClicked, QStringLiteral("channelClicked"));
    plain(&BrowserHost::refreshClicked, QStringLiteral("refreshClicked"));
    plain(&BrowserHost::openOutsideClicked, QStringLiteral("openOutsideClicked"));
    QObject::connect(&host, &BrowserHost::positionChanged, [lines](const QRect &frame, bool maximised) {
        lines->append(QStringLiteral("positionChanged %1,%2 %3x%4 %5")
                          .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
                          .arg(maximised ? "maximised" : "normal"));
    });
    QObject::connect(&host, &BrowserHost::channelRequested,
                     [lines](const QString &id) { lines->append(QStringLiteral("channelRequested ") + id); });
    QObject::connect(&host, &BrowserHost::logReceived,
                     [lines](const QString &text) { lines->append(QStringLiteral("logReceived ") + text); });
    QObject::connect(&host, &BrowserHost::userInfoRequested,
                     [lines](const QString &key) { lines->append(QStringLiteral("userInfoRequested ") + key); });
}

using HostCall = std::function<void(BrowserHost &)>;

// A download service that notes every call and answers from a fixed list.
class NotingService : public Zuvo::DownloadService
{
public:
    QString startDownload(const QUrl &url, const QString &path) override
    {
        calls.append(QStringLiteral("start %1 %2").arg(url.toString(QUrl::FullyEncoded), path));
        return QStringLiteral("Saving ") + path;
    }
    QList<DownloadRecord> records() const override { return _records; }
    bool restartDownload(const QString &key) override
    {
        calls.append(QStringLiteral("restart ") + key);
        return key == QLatin1String("f1");
    }
    void removeRecord(const QString &key) override { calls.append(QStringLiteral("remove ") + key); }
    void removeAllRecords() override { calls.append(QStringLiteral("remove all")); }
    void openFolder(const QString &key) override { calls.append(QStringLiteral("open folder ") + key); }

    QStringList calls;

private:
    QList<DownloadRecord> _records = {record("f1", "/srv/a.pdf", DownloadRecord::Status::Downloading),
                                      record("f2", "/srv/b.txt", DownloadRecord::Status::Ready)};

    static DownloadRecord record(const char *key, const char *path, DownloadRecord::Status status)
    {
        DownloadRecord record;
        record.key = QString::fromLatin1(key);
        record.path = QString::fromLatin1(path);
        record.createTime = 1765180800000;
        record.fileSize = 2048;
        record.downloadOffset = 1024;
        record.status = status;
        return record;
    }
};

} // namespace

Q_DECLARE_METATYPE(HostCall)

class tst_HostLibrary : public QObject
{
    Q_OBJECT

private slots:
    void typedCalls_data();
    void typedCalls();
    void imageAsPng();
    void feedbackSignals_data();
    void feedbackSignals();
    void customDownloadService_data();
    void customDownloadService();
    void strayConnectionIsClosedAndTheBrowserStillConnects();
    void browserProcessSetup();
};

void tst_HostLibrary::typedCalls_data()
{
    QTest::addColumn<HostCall>("call");
    QTest::addColumn<QByteArray>("expected");

    const auto text = [](const char *command, const QString &payload) {
        return message(QStringLiteral("config"), QString::fromLatin1(command), payload.toUtf8());
    };
    const auto event = [](const char *command, const QString &payload) {
        return message(QStringLiteral("event"), QString::fromLatin1(command), payload.toUtf8());
    };
    using T = BrowserHost::Text;
    const QList<QPair<T, const char *>> texts = {
        {T::RefreshButton, "refreshText"}, {T::StoreButton, "collectText"}, {T::ShareButton, "shareText"},
        {T::ChannelButton, "channelText"}, {T::OpenOutsideButton, "openoutsideText"}, {T::ConfirmOk, "infoBoxOk"},
        {T::ConfirmCancel, "infoBoxCancel"}, {T::ConfirmDelete, "infoBoxDelete"}, {T::ConfirmClear, "infoBoxClean"},
        {T::DownloadsButton, "webFileText"}, {T::DownloadsEmpty, "webFileEmptyText"},
        {T::DownloadSucceeded, "webFileSuccessText"}, {T::DownloadFailed, "webFileFailedText"},
        {T::OpenInFolder, "webFileOpenInFolderText"}, {T::DownloadsBack, "webFileBackText"},
        {T::DownloadAgain, "webFileRedownloadText"}, {T::FileMissing, "webFileMissedText"},
        {T::RemoveAll, "webFileRemoveAllText"}, {T::RemoveOneQuestion, "webFileRemoveTipsText"},
        {T::RemoveAllQuestion, "webFileRemoveAllTipsText"}, {T::RemoveOneTip, "tipsWebFileRemoveItem"},
        {T::RemoveAllTip, "tipsWebFileRemoveAll"}};
    for (const auto &[which, command] : texts) {
        QTest::addRow("text %s", command) << HostCall([which = which](BrowserHost &h) { h.setText(which, "Grüße"); })
                                          << text(command, QStringLiteral("Grüße"));
    }
    using M = BrowserHost::Metric;
    const QList<QPair<M, const char *>> metrics = {{M::TitleBarHeight, "titleHeight"}, {M::TitleBarLeft, "titleLeft"},
                                                   {M::TitleBarRight, "titleRight"}, {M::TitleBarSpacing, "titleSkip"},
                                                   {M::MinimumWindowWidth, "miniWidth"}};
    for (const auto &[which, command] : metrics) {
        QTest::addRow("metric %s", command) << HostCall([which = which](BrowserHost &h) { h.setMetric(which, 640); })
                                            << text(command, QStringLiteral("640"));
    }
    using I = BrowserHost::Image;
    const QByteArray file("\x89PNG\r\n\x1a\n\xff\xfe\x00\x01", 12);
    const QList<QPair<I, const char *>> images = {
        {I::WindowIcon, "Icon"}, {I::TitleLogo, "titleLogoData"}, {I::MinimizeButton, "titleMinisizeIconData"},
        {I::MaximizeButton, "titleMaxsizeIconData"}, {I::RestoreButton, "titleRestoreIconData"},
        {I::CloseButton, "titleCloseIconData"}};
    for (const auto &[which, command] : images) {
        QTest::addRow("image file %s", command)
            << HostCall([which = which, file](BrowserHost &h) { h.setImageFile(which, file); })
            << message("config", command, file);
    }
    using B = BrowserHost::Button;
    const QList<QPair<B, const char *>> buttons = {{B::OpenOutside, "updateOpenOutside"}, {B::Channel, "updateCheckChannel"},
                                                   {B::Store, "updateStoreToZuvo"}, {B::Share, "updateShareToFriend"}};
    for (const auto &[which, command] : buttons) {
        QTest::addRow("button %s", command)
            << HostCall([which = which](BrowserHost &h) { h.setButtonVisible(which, false); h.setButtonVisible(which, true); })
            << event(command, "false") + event(command, "true");
    }

    QTest::newRow("title") << HostCall([](BrowserHost &h) { h.setTitle("Zuvo 世界"); }) << text("title", "Zuvo 世界");
    QTest::newRow("empty access token") << HostCall([](BrowserHost &h) { h.setAccessToken(QString()); })
                                        << QByteArray("config:accessToken:;");
    QTest::newRow("trusted origins as a JSON array")
        << HostCall([](BrowserHost &h) { h.setTrustedOrigins({"https://chat.example", "https://*.example:8443"}); })
        << text("trustedOrigins", R"(["https://chat.example","https://*.example:8443"])");
    QTest::newRow("no trusted origins: the default again")
        << HostCall([](BrowserHost &h) { h.setTrustedOrigins({}); }) << text("trustedOrigins", "[]");
    QTest::newRow("strict certificates as hex, other lengths left out")
        << HostCall([](BrowserHost &h) { h.setStrictCertificates({QByteArray(32, '\xab'), QByteArray(20, '\x01')}); })
        << text("strictCertificates", "[\"" + QString(QByteArray(32, '\xab').toHex()) + "\"]");
    QTest::newRow("language as its tag") << HostCall([](BrowserHost &h) { h.setLanguage("zh-CN"); })
                                         << text("language", "zh-CN");
    QTest::newRow("title bar colour") << HostCall([](BrowserHost &h) { h.setTitleBarColor(QColor(46, 108, 196)); })
                                      << text("titleBackgroundColor", "46,108,196,255");
    QTest::newRow("frame colour with alpha") << HostCall([](BrowserHost &h) { h.setFrameColor(QColor(0, 0, 0, 60)); })
                                             << text("shadowColor", "0,0,0,60");
    QTest::newRow("content colour as 0xRRGGBB")
        << HostCall([](BrowserHost &h) { h.setContentBackgroundColor(QColor("#f4f5f7")); })
        << text("containerBackgroundColor", "16053751");
    QTest::newRow("black content refused, invalid colours too")
        << HostCall([](BrowserHost &h) {
               QVERIFY(!h.setContentBackgroundColor(Qt::black));
               QVERIFY(!h.setTitleBarColor(QColor()));
               QVERIFY(!h.setFrameColor(QColor()));
           })
        << QByteArray();
    QTest::newRow("window geometry") << HostCall([](BrowserHost &h) { h.setWindowGeometry({-8, 120, 1000, 700}); })
                                     << text("windowsRect", "-8,120,1000,700,0");
    QTest::newRow("window maximised") << HostCall([](BrowserHost &h) { h.setWindowGeometry({0, 0, 800, 600}, true); })
                                      << text("windowsRect", "0,0,800,600,1");
    QTest::newRow("confirmation box size") << HostCall([](BrowserHost &h) { h.setConfirmBoxSize({320, 160}); })
                                           << text("infoBoxSize", "320,160");
    QTest::newRow("confirmation box margins") << HostCall([](BrowserHost &h) { h.setConfirmBoxMargins({20, 16, 21, 17}); })
                                              << text("infoBoxMargin", "20,16,21,17");
    QTest::newRow("show address, encoded")
        << HostCall([](BrowserHost &h) { h.showUrl(QUrl("https://example.com/a b?q=ü")); })
        << event("showUrl", "https://example.com/a%20b?q=%C3%BC");
    QTest::newRow("activate") << HostCall([](BrowserHost &h) { h.activate(); }) << QByteArray("event:active:;");
    QTest::newRow("message") << HostCall([](BrowserHost &h) { h.showMessage("Saved; twice"); })
                             << event("showBoxMessage", "Saved; twice");
    QTest::newRow("user information, also later")
        << HostCall([](BrowserHost &h) { h.answerUserInfo("k1", R"({"id":"u"})"); })
        << message("iq", "currentuserinfoRes", R"({"info":"{\"id\":\"u\"}","key":"k1"})");
    QTest::newRow("raw bytes as given") << HostCall([](BrowserHost &h) { h.sendRaw("event:active;"); })
                                        << QByteArray("event:active;");
}

void tst_HostLibrary::typedCalls()
{
    QFETCH(HostCall, call);
    QFETCH(QByteArray, expected);

    // Given before the browser connects, as a program naturally does: held
    // back, then sent in order, and the link goes on afterwards.
    LinkedHost link;
    QVERIFY(link.start());
    call(link.host);
    QVERIFY(link.connectAsBrowser());
    link.host.showMessage("after");
    const QByteArray after = message("event", "showBoxMessage", "after");
    QTRY_COMPARE_WITH_TIMEOUT(link.received, expected + after, timeout);
}

void tst_HostLibrary::strayConnectionIsClosedAndTheBrowserStillConnects()
{
    // Given a host that has just started its browser, when a process that is
    // not that browser connects to the endpoint (usually before the browser
    // does), then it is closed and counted, and the real browser is taken.
    LinkedHost link;
    QVERIFY(link.start());
    QLocalSocket stray;
    stray.connectToServer(link.host.endpoint());
    QVERIFY(stray.waitForConnected(timeout));
    QTRY_COMPARE_WITH_TIMEOUT(stray.state(), QLocalSocket::UnconnectedState, timeout);
    QCOMPARE(link.host.refusedConnectionCount(), 1);
    QVERIFY(link.connectAsBrowser());
    link.host.showMessage("taken");
    QTRY_COMPARE_WITH_TIMEOUT(link.received, message("event", "showBoxMessage", "taken"), timeout);
    QCOMPARE(link.host.refusedConnectionCount(), 1);
}

void tst_HostLibrary::imageAsPng()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(qRgba(10, 20, 30, 128));
    image.setPixel(2, 1, qRgba(200, 0, 0, 255));

    LinkedHost link;
    QVERIFY(link.start());
    QVERIFY(link.connectAsBrowser());
    link.host.setImage(BrowserHost::Image::TitleLogo, image);
    QTRY_COMPARE_WITH_TIMEOUT(link.receivedMessages().size(), 1, timeout);
    const wirecodec::Message sent = link.receivedMessages().first();
    QCOMPARE(sent.command, QStringLiteral("titleLogoData"));
    QVERIFY(sent.payload.startsWith("\x89PNG"));
    QCOMPARE(QImage::fromData(sent.payload).convertToFormat(QImage::Format_ARGB32), image);
}

void tst_HostLibrary::feedbackSignals_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("signal"); // empty: dropped

    const auto feedback = [](const char *command, const QByteArray &payload) {
        return message("feedback", command, payload);
    };
    QTest::newRow("store") << feedback("storeToZuvo", "") << "storeClicked";
    QTest::newRow("share") << feedback("share", "") << "shareClicked";
    QTest::newRow("channel") << feedback("channel", "") << "channelClicked";
    QTest::newRow("refresh") << feedback("refresh", "") << "refreshClicked";
    QTest::newRow("open outside") << feedback("openOutside", "") << "openOutsideClicked";
    QTest::newRow("position") << feedback("savePosition", "200,120,1000,700,0") << "positionChanged 200,120 1000x700 normal";
    QTest::newRow("position maximised, off the left edge")
        << feedback("savePosition", "-8,-8,1616,1216,1") << "positionChanged -8,-8 1616x1216 maximised";
    QTest::newRow("channel id") << feedback("gotoChannel", "général") << "channelRequested général";
    QTest::newRow("log line") << feedback("receiveLog", "a;b:c\n") << "logReceived a;b:c\n";
    QTest::newRow("user information query") << message("iq", "currentuserinfo", "8c0e52a1") << "userInfoRequested 8c0e52a1";

    QTest::newRow("position of four") << feedback("savePosition", "1,2,3,4") << QString();
    QTest::newRow("position not numbers") << feedback("savePosition", "a,b,c,d,e") << QString();
    QTest::newRow("position negative size") << feedback("savePosition", "0,0,-5,10,0") << QString();
    QTest::newRow("position maximised 2") << feedback("savePosition", "0,0,5,10,2") << QString();
    QTest::newRow("unknown feedback") << feedback("frobnicate", "") << QString();
    QTest::newRow("payload field missing") << QByteArray("feedback:refresh;") << QString();
    QTest::newRow("unknown group") << message("chat", "refresh", "") << QString();
    QTest::newRow("setting from the browser") << message("config", "title", "x") << QString();
    QTest::newRow("user information without key") << message("iq", "currentuserinfo", "") << QString();
    QTest::newRow("download request not JSON") << message("webfile", "startDownload", "{") << QString();
    QTest::newRow("reply from the browser") << message("webfile", "getFileListRes", "{}") << QString();
}

void tst_HostLibrary::feedbackSignals()
{
    QFETCH(QByteArray, sent);
    QFETCH(QString, signal);

    LinkedHost link;
    QStringList lines;
    recordFeedback(link.host, &lines);
    QSignalSpy seen(&link.host, &BrowserHost::messageReceived);
    QVERIFY(link.start());
    QVERIFY(link.connectAsBrowser());

    // Once the refresh after it has come, the message has been dealt with.
    link.sendAsBrowser(sent + message("feedback", "refresh", ""));
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 2, timeout);
    QCOMPARE(lines.takeLast(), QStringLiteral("refreshClicked"));
    QCOMPARE(lines, signal.isEmpty() ? QStringList() : QStringList{signal});
    QCOMPARE(link.host.droppedMessageCount(), signal.isEmpty() ? 1 : 0);
    QVERIFY(link.host.isConnected());
}

void tst_HostLibrary::customDownloadService_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QByteArray>("reply");

    const auto webfile = [](const char *command, const QByteArray &payload) {
        return message("webfile", command, payload);
    };
    const QByteArray f1 = R"({"createTime":1765180800000,"downloadOffset":1024,"fileExists":false,"fileSize":2048,)"
                          R"("key":"f1","name":"a.pdf","status":1,"updateTime":0})";
    const QByteArray f2 = R"({"createTime":1765180800000,"downloadOffset":1024,"fileExists":false,"fileSize":2048,)"
                          R"("key":"f2","name":"b.txt","status":2,"updateTime":0})";
    QTest::newRow("start") << webfile("startDownload", R"({"key":"s","name":"/tmp/x y.pdf","url":"https://h/x%20y.pdf"})")
                           << "start https://h/x%20y.pdf /tmp/x y.pdf"
                           << webfile("startDownloadRes", R"({"info":"Saving /tmp/x y.pdf","key":"s"})");
    QTest::newRow("list") << webfile("getFileList", "l1") << QString()
                          << webfile("getFileListRes", R"({"data":[)" + f1 + ',' + f2 + R"(],"key":"l1"})");
    QTest::newRow("progress, unknown keys left out")
        << webfile("getDownloadOffset", R"({"fileList":["f2","nope"],"key":"o1"})") << QString()
        << webfile("getDownloadOffsetRes", R"({"data":[)" + f2 + R"(],"key":"o1"})");
    QTest::newRow("restart") << webfile("restartDownload", R"({"fileKey":"f1","key":"r1"})") << "restart f1"
                             << webfile("restartDownloadRes", R"({"fileKey":"f1","key":"r1"})");
    QTest::newRow("restart unknown, no answer") << webfile("restartDownload", R"({"fileKey":"f9","key":"r2"})")
                                                << "restart f9" << QByteArray();
    QTest::newRow("remove one") << webfile("removeHistory", R"({"fileKey":"f2","key":"d1"})") << "remove f2"
                                << webfile("removeHistoryRes", R"({"fileKey":"f2","key":"d1"})");
    QTest::newRow("remove all") << webfile("removeAllHistory", R"({"key":"d2"})") << "remove all"
                                << webfile("removeAllHistoryRes", R"({"key":"d2"})");
    QTest::newRow("open folder, no answer") << webfile("openFileFolder", "f1") << "open folder f1" << QByteArray();
}

void tst_HostLibrary::customDownloadService()
{
    QFETCH(QByteArray, request);
    QFETCH(QString, call);
    QFETCH(QByteArray, reply);

    NotingService service;
    LinkedHost link;
    link.host.setDownloadService(&service);
    QCOMPARE(link.host.downloadService(), &service);
    QVERIFY(link.start());
    QVERIFY(link.connectAsBrowser());

    // The user-information answer that follows marks the end of the reply.
    link.sendAsBrowser(request + message("iq", "currentuserinfo", "end"));
    QSignalSpy asked(&link.host, &BrowserHost::userInfoRequested);
    QVERIFY(asked.wait(timeout));
    link.host.answerUserInfo("end", QString());
    const QByteArray end = message("iq", "currentuserinfoRes", R"({"info":"","key":"end"})");
    QTRY_VERIFY_WITH_TIMEOUT(link.received.endsWith(end), timeout);

    QCOMPARE(link.received, reply + end);
    QCOMPARE(service.calls, call.isEmpty() ? QStringList() : QStringList{call});
    QCOMPARE(link.host.droppedMessageCount(), 0);
    QVERIFY(link.host.standardDownloadService()->records().isEmpty());
}

void tst_HostLibrary::browserProcessSetup()
{
    // A Ctrl-C in the host's terminal must reach only the host, and the
    // browser must never read what is typed for the host: a process group of
    // its own, led by the browser, and nothing on standard input. The
    // stand-in says what it got, one line each, before it waits.
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("browser"));
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n"
               "read -r _ _ _ _ group _ </proc/$$/stat\n"
               "echo \"group $group\"\n"
               "echo \"input $(readlink /proc/$$/fd/0)\"\n"
               "exec sleep 60\n");
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    BrowserHost host;
    host.setBrowserOutput(BrowserHost::BrowserOutput::Lines);
    QSignalSpy started(&host, &BrowserHost::browserStarted);
    QStringList lines;
    QObject::connect(&host, &BrowserHost::browserOutputLine, [&lines](const QString &line) { lines.append(line); });
    QVERIFY(host.start(script));
    QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 2, timeout);

    QCOMPARE(started.size(), 1);
    const qint64 browser = started.at(0).at(0).toLongLong();
    QVERIFY(browser != qint64(::getpgrp()));
    QCOMPARE(lines, QStringList({QStringLiteral("group %1").arg(browser), QStringLiteral("input /dev/null")}));
}

QTEST_GUILESS_MAIN(tst_HostLibrary)
#include "tst_hostlibrary.moc"
