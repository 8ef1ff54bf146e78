// The reference host: its configuration and command decoding checked through
// its own classes, its downloads against a real HTTP server on loopback, and
// the running zuvohost checked against the real browser (copied into a folder
// of its own, so its endpoint is this test's alone) and against a socket that
// this test connects as the browser.

#include "browserreplies.h"
#include "commandinterpreter.h"
#include "hostconfig.h"
#include "hostlink.h"
#include "httpfixture.h"
#include "testsupport.h"
#include "transport/messageframer.h"
#include "transport/transport.h"
#include "webfileservice.h"

#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using testsupport::HttpFixture;
using testsupport::HttpResponse;
using testsupport::wire;

namespace {

const int processTimeout = 20000;

// A PNG signature and bytes that are not UTF-8: a payload taken for text
// would not survive.
const QByteArray imageBytes = QByteArray("\x89PNG\r\n\x1a\n\xff\xfe\x00\x01", 12);

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(bytes);
    return path;
}

// A stand-in browser, for what the real one never does: exit with a code of
// its own, or outstay the link.
QString writeScript(const QString &dir, const QByteArray &body)
{
    const QString path = writeFile(dir + QStringLiteral("/zuvochatwebbroswer"), "#!/bin/sh\n" + body + '\n');
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QString canonicalDir(const QString &dir)
{
    return QFileInfo(dir).canonicalFilePath();
}

// One zuvohost process; its standard output is collected line by line.
class HostRun
{
public:
    explicit HostRun(const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        _process.setProcessEnvironment(environment);
        _process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        _process.start(QStringLiteral(ZUVO_HOST_PATH), arguments);
    }

    ~HostRun()
    {
        if (_process.state() != QProcess::NotRunning) {
            _process.kill();
            _process.waitForFinished();
        }
    }

    QProcess &process() { return _process; }
    bool hasEnded() const { return _process.state() == QProcess::NotRunning; }
    void sendSignal(int signalNumber) { ::kill(pid_t(_process.processId()), signalNumber); }

    QStringList lines()
    {
        _output += _process.readAllStandardOutput();
        return QString::fromUtf8(_output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    bool printed(const QString &line) { return lines().contains(line); }

    qint64 browserPid()
    {
        const QString prefix = QStringLiteral("host: browser started, pid ");
        for (const QString &line : lines()) {
            if (line.startsWith(prefix))
                return line.mid(prefix.size()).toLongLong();
        }
        return 0;
    }

private:
    QProcess _process;
    QByteArray _output;
};

QByteArray jsonText(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// The JSON payload of a reply, or an empty object when prefix does not match.
QJsonObject decodedReply(const QString &message, const QString &prefix)
{
    if (!message.startsWith(prefix))
        return {};
    return QJsonDocument::fromJson(QByteArray::fromBase64(message.mid(prefix.size()).toLatin1())).object();
}

// What the panel would get back for one request to the download service.
QJsonObject ask(WebFileService &service, const QString &command, const QByteArray &payload)
{
    const auto reply = service.handle({QStringLiteral("webfile"), command, payload});
    return reply ? QJsonDocument::fromJson(reply->payload).object() : QJsonObject();
}

QJsonObject ask(WebFileService &service, const QString &command, const QJsonObject &request)
{
    return ask(service, command, jsonText(request));
}

// Starts a download and returns the key of the record it made.
QString startDownload(WebFileService &service, const QUrl &url, const QString &path)
{
    ask(service, "startDownload", QJsonObject{{"key", "start"}, {"name", path}, {"url", url.toString()}});
    const QList<DownloadRecord> records = service.history().records();
    return records.isEmpty() ? QString() : records.last().key;
}

QJsonArray fileList(WebFileService &service)
{
    return ask(service, "getFileList", QByteArray("list")).value("data").toArray();
}

int statusOf(WebFileService &service, const QString &key)
{
    for (const QJsonValue &record : fileList(service)) {
        if (record.toObject().value("key").toString() == key)
            return record.toObject().value("status").toInt();
    }
    return -1;
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray bodyOf(int size)
{
    QByteArray body(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        body[i] = char(i * 7 + i / 251);
    return body;
}

const int downloading = int(DownloadRecord::Status::Downloading);
const int ready = int(DownloadRecord::Status::Ready);
const int failed = int(DownloadRecord::Status::Failed);

} // namespace

Q_DECLARE_METATYPE(HttpResponse)

class tst_ZuvoHost : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void configToMessages_data();
    void configToMessages();
    void configErrors_data();
    void configErrors();
    void exampleConfigLoads();

    void commands_data();
    void commands();

    void replies_data();
    void replies();
    void printedLines_data();
    void printedLines();

    void downloads_data();
    void downloads();
    void answersThePanelFromTheHistory();
    void historySurvivesRestart();

    void endsWithTheBrowser_data();
    void endsWithTheBrowser();
    void keepsRunningAtEndOfInputByDefault();
    void keepReadyStartsTheNextBrowser();
    void exitCodeOfStandIn_data();
    void exitCodeOfStandIn();
    void configuresAndAnswersOverTheLink();

private:
    QTemporaryDir _browserDir;
    QTemporaryDir _dataDir;
    QString _browserPath;
};

void tst_ZuvoHost::initTestCase()
{
    QVERIFY(QFileInfo(QStringLiteral(ZUVO_HOST_PATH)).isExecutable());
    _browserPath = _browserDir.filePath(QStringLiteral("zuvochatwebbroswer"));
    QVERIFY(QFile::copy(QStringLiteral(ZUVO_BROWSER_PATH), _browserPath));
    QVERIFY(!writeFile(_dataDir.filePath(QStringLiteral("logo.png")), imageBytes).isEmpty());
}

void tst_ZuvoHost::configToMessages_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("UTF-8 text") << QByteArray(R"({"title":"Grüße 世界"})") << wire("config", "title", "Grüße 世界");
    QTest::newRow("empty access token") << QByteArray(R"({"accessToken":""})") << QByteArray("config:accessToken:;");
    QTest::newRow("integer") << QByteArray(R"({"titleHeight":41})") << wire("config", "titleHeight", "41");
    QTest::newRow("integer as text") << QByteArray(R"({"miniWidth":"640"})") << wire("config", "miniWidth", "640");
    QTest::newRow("colour array") << QByteArray(R"({"titleBackgroundColor":[10,20,30,255]})")
                                  << wire("config", "titleBackgroundColor", "10,20,30,255");
    QTest::newRow("colour text") << QByteArray(R"({"shadowColor":"0, 0, 0, 60"})")
                                 << wire("config", "shadowColor", "0,0,0,60");
    QTest::newRow("container number") << QByteArray(R"({"containerBackgroundColor":16711680})")
                                      << wire("config", "containerBackgroundColor", "16711680");
    QTest::newRow("container #rrggbb") << QByteArray(R"({"containerBackgroundColor":"#FF0001"})")
                                       << wire("config", "containerBackgroundColor", "16711681");
    QTest::newRow("rectangle") << QByteArray(R"({"windowsRect":[100,50,800,600]})")
                               << wire("config", "windowsRect", "100,50,800,600");
    QTest::newRow("rectangle maximised") << QByteArray(R"({"windowsRect":[100,50,800,600,true]})")
                                         << wire("config", "windowsRect", "100,50,800,600,1");
    QTest::newRow("info box size") << QByteArray(R"({"infoBoxSize":"320,160"})")
                                   << wire("config", "infoBoxSize", "320,160");
    QTest::newRow("info box margins") << QByteArray(R"({"infoBoxMargin":[-1,2,3,4]})")
                                      << wire("config", "infoBoxMargin", "-1,2,3,4");
    QTest::newRow("image relative to the file") << QByteArray(R"({"titleCloseIconData":"logo.png"})")
                                                << "config:titleCloseIconData:" + imageBytes.toBase64() + ';';
    QTest::newRow("button event") << QByteArray(R"({"updateShareToFriend":false})")
                                  << wire("event", "updateShareToFriend", "false");
    QTest::newRow("comment and user info send nothing")
        << QByteArray(R"({"_note":"x","userInfo":{"id":1},"title":"T"})") << wire("config", "title", "T");
    QTest::newRow("protocol order, not file order")
        << QByteArray(R"({"updateOpenOutside":true,"windowsRect":"1,2,3,4","title":"T"})")
        << wire("config", "title", "T") + wire("config", "windowsRect", "1,2,3,4") +
               wire("event", "updateOpenOutside", "true");
}

void tst_ZuvoHost::configToMessages()
{
    QFETCH(QByteArray, config);
    QFETCH(QByteArray, expected);

    HostConfig hostConfig;
    QStringList errors;
    QVERIFY2(hostConfig.loadJson(config, _dataDir.path(), &errors), qPrintable(errors.join('\n')));
    QCOMPARE(wireOf(hostConfig.messages()), expected);
}

void tst_ZuvoHost::configErrors_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("error");

    QTest::newRow("invalid JSON") << QByteArray("{\"title\":") << "invalid JSON at offset";
    QTest::newRow("not an object") << QByteArray("[1]") << "must be a JSON object";
    QTest::newRow("misspelt setting") << QByteArray(R"({"titel":"x"})") << "unknown setting \"titel\"";
    QTest::newRow("colour of three") << QByteArray(R"({"titleBackgroundColor":[1,2,3]})")
                                     << "titleBackgroundColor: expected";
    QTest::newRow("colour out of range") << QByteArray(R"({"shadowColor":"0,0,300,255"})") << "shadowColor: expected";
    QTest::newRow("fractional integer") << QByteArray(R"({"titleHeight":40.5})") << "titleHeight: expected";
    QTest::newRow("black container") << QByteArray(R"({"containerBackgroundColor":"#000000"})")
                                     << "containerBackgroundColor: expected";
    QTest::newRow("rectangle of three") << QByteArray(R"({"windowsRect":[1,2,3]})") << "windowsRect: expected";
    QTest::newRow("missing image") << QByteArray(R"({"Icon":"missing.png"})") << "Icon: cannot read";
}

void tst_ZuvoHost::configErrors()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, error);

    HostConfig hostConfig;
    QStringList errors;
    QVERIFY(!hostConfig.loadJson(config, _dataDir.path(), &errors));
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(error), qPrintable(errors.first()));
}

void tst_ZuvoHost::exampleConfigLoads()
{
    const QString path = QStringLiteral(ZUVO_HOST_SOURCE_DIR "/example-config.json");
    HostConfig config;
    QStringList errors;
    QVERIFY2(config.load(path, &errors), qPrintable(errors.join('\n')));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList keys = QJsonDocument::fromJson(file.readAll()).object().keys();
    QCOMPARE(config.messages().size(), keys.size() - keys.filter(QRegularExpression("^_|^userInfo$")).size());
    // The browser reads the information only as a JSON string.
    QCOMPARE(QJsonDocument::fromJson(config.userInfo().toUtf8()).object().value("name").toString(),
             QStringLiteral("Ada Example"));
}

void tst_ZuvoHost::commands_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("text");

    const int send = int(HostCommand::Kind::Send);
    const int invalid = int(HostCommand::Kind::Invalid);
    QTest::newRow("show") << "show https://example.com/a?b=1" << send
                          << wire("event", "showUrl", "https://example.com/a?b=1") << QString();
    QTest::newRow("active") << "active" << send << QByteArray("event:active:;") << QString();
    QTest::newRow("message as typed") << "message Saved,  twice " << send
                                      << wire("event", "showBoxMessage", "Saved,  twice ") << QString();
    QTest::newRow("button on") << "button share on" << send << wire("event", "updateShareToFriend", "true")
                               << QString();
    QTest::newRow("button off") << "button openoutside off" << send << wire("event", "updateOpenOutside", "false")
                                << QString();
    QTest::newRow("config as JSON") << "config titleBackgroundColor [1,2,3,4]" << send
                                    << wire("config", "titleBackgroundColor", "1,2,3,4") << QString();
    QTest::newRow("config in wire form") << "config windowsRect 1,2,3,4,1" << send
                                         << wire("config", "windowsRect", "1,2,3,4,1") << QString();
    QTest::newRow("config plain text") << "config title Hello world" << send << wire("config", "title", "Hello world")
                                       << QString();
    QTest::newRow("config user info") << R"(config userInfo {"id": 7})" << int(HostCommand::Kind::SetUserInfo)
                                      << QByteArray() << R"({"id":7})";
    QTest::newRow("send") << R"(send webfile getFileListRes {"key":"k"})" << send
                          << wire("webfile", "getFileListRes", R"({"key":"k"})") << QString();
    QTest::newRow("send empty payload") << "send feedback refresh" << send << QByteArray("feedback:refresh:;")
                                        << QString();
    QTest::newRow("raw verbatim") << "raw config:title:SGVsbG8=;event:active;" << send
                                  << QByteArray("config:title:SGVsbG8=;event:active;") << QString();
    QTest::newRow("comment") << "  # waits for the page" << int(HostCommand::Kind::Nothing) << QByteArray()
                             << QString();
    QTest::newRow("quit") << "quit\r" << int(HostCommand::Kind::Quit) << QByteArray() << QString();
    QTest::newRow("unknown verb") << "frobnicate" << invalid << QByteArray() << "unknown command \"frobnicate\"";
    QTest::newRow("unknown button") << "button logo on" << invalid << QByteArray() << "usage: button";
    QTest::newRow("bad setting value") << "config titleHeight abc" << invalid << QByteArray()
                                       << "titleHeight: expected an integer";
    QTest::newRow("show without address") << "show " << invalid << QByteArray() << "usage: show";
}

void tst_ZuvoHost::commands()
{
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(QByteArray, wire);
    QFETCH(QString, text);

    const HostCommand command = interpretCommand(line, QDir(_dataDir.path()));
    QCOMPARE(int(command.kind), kind);
    QCOMPARE(command.wire, wire);
    QVERIFY2(command.text.startsWith(text), qPrintable(command.text));
}

void tst_ZuvoHost::replies_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("replyCommand");
    QTest::addColumn<QJsonObject>("reply");

    const QString key = QStringLiteral("0123456789abcdef0123456789abcdef");
    QTest::newRow("user information as a string")
        << "iq" << "currentuserinfo" << key.toUtf8() << "currentuserinfoRes"
        << QJsonObject{{"key", key}, {"info", R"({"id":"u1"})"}};
    QTest::newRow("feedback needs no answer") << "feedback" << "refresh" << QByteArray() << QString() << QJsonObject();
}

void tst_ZuvoHost::replies()
{
    QFETCH(QString, group);
    QFETCH(QString, command);
    QFETCH(QByteArray, payload);
    QFETCH(QString, replyCommand);
    QFETCH(QJsonObject, reply);

    const auto answer = browserreplies::replyTo({group, command, payload}, QStringLiteral(R"({"id":"u1"})"));
    QCOMPARE(answer.has_value(), !replyCommand.isEmpty());
    if (!answer)
        return;
    QCOMPARE(answer->group, group);
    QCOMPARE(answer->command, replyCommand);
    QCOMPARE(QJsonDocument::fromJson(answer->payload).object(), reply);
}

void tst_ZuvoHost::printedLines_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("line");

    QTest::newRow("JSON made compact") << "webfile" << "startDownload"
                                       << QByteArray(R"({ "url": "http://h/a b", "key": "k" })")
                                       << R"(webfile startDownload {"key":"k","url":"http://h/a b"})";
    QTest::newRow("plain text") << "feedback" << "savePosition" << QByteArray("10,20,540,870,0")
                                << "feedback savePosition 10,20,540,870,0";
    QTest::newRow("empty payload") << "feedback" << "refresh" << QByteArray() << "feedback refresh";
    QTest::newRow("line breaks escaped") << "feedback" << "receiveLog" << QByteArray("a\nb\\c\r")
                                         << R"(feedback receiveLog a\nb\\c\r)";
}

void tst_ZuvoHost::printedLines()
{
    QFETCH(QString, group);
    QFETCH(QString, command);
    QFETCH(QByteArray, payload);
    QFETCH(QString, line);

    QCOMPARE(browserreplies::messageLine({group, command, payload}), line);
}

void tst_ZuvoHost::downloads_data()
{
    QTest::addColumn<HttpResponse>("response");
    QTest::addColumn<QByteArray>("fileBefore");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("fileAfter");

    const QByteArray body = bodyOf(300 * 1024);
    HttpResponse served;
    served.contentType = "application/octet-stream";
    served.body = body;
    HttpResponse missing{404, "text/plain", "no such file", {}, 0};
    HttpResponse reset = served;
    reset.cutAfterBytes = 1000;

    QTest::newRow("file served") << served << QByteArray() << ready << body;
    QTest::newRow("file served over an older one") << served << QByteArray("old") << ready << body;
    QTest::newRow("HTTP 404") << missing << QByteArray() << failed << QByteArray();
    QTest::newRow("HTTP 404 keeps the older file") << missing << QByteArray("old") << failed << QByteArray("old");
    QTest::newRow("connection reset mid-body") << reset << QByteArray() << failed << QByteArray();
    QTest::newRow("connection reset keeps the older file") << reset << QByteArray("old") << failed << QByteArray("old");
}

void tst_ZuvoHost::downloads()
{
    QFETCH(HttpResponse, response);
    QFETCH(QByteArray, fileBefore);
    QFETCH(int, status);
    QFETCH(QByteArray, fileAfter);

    // A failed transfer must neither leave a truncated file under the chosen
    // name nor spoil the one already there, and must read as failed.
    HttpFixture server;
    QVERIFY(server.listenOn());
    server.setResponse("/file.bin", response);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("file.bin"));
    if (!fileBefore.isEmpty())
        QVERIFY(!writeFile(path, fileBefore).isEmpty());

    WebFileService service;
    service.setAccessToken(QStringLiteral("t0ken"));
    const QString key = startDownload(service, server.url(QStringLiteral("/file.bin")), path);
    QVERIFY(!key.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(service, key), status, processTimeout);

    QCOMPARE(server.requestsFor("/file.bin").size(), 1);
    QCOMPARE(server.requestsFor("/file.bin").first().headerValues("X-Access-Token"), {QByteArray("t0ken")});
    QCOMPARE(contentsOf(path), fileAfter);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), fileAfter.isEmpty() ? 0 : 1);
    const QJsonObject record = fileList(service).first().toObject();
    QCOMPARE(record.value("fileExists").toBool(), !fileAfter.isEmpty());
    if (status == ready) {
        QCOMPARE(record.value("fileSize").toDouble(), double(fileAfter.size()));
        QCOMPARE(record.value("downloadOffset").toDouble(), double(fileAfter.size()));
    }
}

void tst_ZuvoHost::answersThePanelFromTheHistory()
{
    // Given a download held halfway by the server, the panel's questions are
    // answered from the transfer as it stands, and removing records leaves
    // every file alone.
    HttpFixture server;
    QVERIFY(server.listenOn());
    const QByteArray body = bodyOf(200 * 1024);
    HttpResponse halfway{200, "application/octet-stream", body, {}, 0};
    halfway.cutAfterBytes = body.size() / 2;
    halfway.cut = HttpResponse::Cut::Stall;
    server.setResponse("/a.bin", halfway);
    server.setResponse("/b.txt", HttpResponse{200, "text/plain", "b", {}, 0});
    QTemporaryDir folder;
    const QString pathA = folder.filePath(QStringLiteral("a.bin"));
    const QString pathB = folder.filePath(QStringLiteral("b.txt"));

    WebFileService service;
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    QCOMPARE(ask(service, "startDownload",
                 QJsonObject{{"key", "s1"}, {"name", pathA}, {"url", server.url("/a.bin").toString()}}),
             (QJsonObject{{"key", "s1"}, {"info", "Download started: " + pathA}}));
    const QString keyA = service.history().records().value(0).key;
    QTRY_COMPARE_WITH_TIMEOUT(server.stalledCount(), 1, processTimeout);

    // Progress: unknown keys are left out, the size is the announced one.
    const QJsonObject offsets = QJsonObject{{"fileList", QJsonArray{keyA, "unknown"}}, {"key", "o1"}};
    QTRY_COMPARE_WITH_TIMEOUT(
        ask(service, "getDownloadOffset", offsets).value("data").toArray().first().toObject().value("downloadOffset"),
        QJsonValue(body.size() / 2), processTimeout);
    QJsonObject progress = ask(service, "getDownloadOffset", offsets);
    QCOMPARE(progress.value("key").toString(), QStringLiteral("o1"));
    QCOMPARE(progress.value("data").toArray().size(), 1);
    QJsonObject record = progress.value("data").toArray().first().toObject();
    QCOMPARE(record.value("status").toInt(), downloading);
    QCOMPARE(record.value("fileSize").toDouble(), double(body.size()));

    server.resumeStalled();
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(service, keyA), ready, processTimeout);
    const QJsonObject list = ask(service, "getFileList", QByteArray("l1"));
    QCOMPARE(list.value("key").toString(), QStringLiteral("l1"));
    record = list.value("data").toArray().first().toObject();
    QCOMPARE(record.value("name").toString(), QStringLiteral("a.bin"));
    QCOMPARE(record.value("fileExists").toBool(), true);
    QVERIFY(record.value("createTime").toDouble() >= double(before));
    QVERIFY(record.value("createTime").toDouble() <= double(QDateTime::currentMSecsSinceEpoch()));

    // A file deleted by hand shows as missing; downloading it again brings it back.
    QVERIFY(QFile::remove(pathA));
    QCOMPARE(fileList(service).first().toObject().value("fileExists").toBool(), false);
    QCOMPARE(ask(service, "restartDownload", QJsonObject{{"fileKey", keyA}, {"key", "r1"}}),
             (QJsonObject{{"fileKey", keyA}, {"key", "r1"}}));
    QCOMPARE(statusOf(service, keyA), downloading);
    server.setResponse("/a.bin", HttpResponse{200, "application/octet-stream", body, {}, 0});
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(service, keyA), ready, processTimeout);
    QCOMPARE(contentsOf(pathA), body);
    QVERIFY(ask(service, "restartDownload", QJsonObject{{"fileKey", "unknown"}, {"key", "r2"}}).isEmpty());

    // Removing records, one or all, keeps the files.
    const QString keyB = startDownload(service, server.url("/b.txt"), pathB);
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(service, keyB), ready, processTimeout);
    QCOMPARE(ask(service, "removeHistory", QJsonObject{{"fileKey", keyA}, {"key", "d1"}}),
             (QJsonObject{{"fileKey", keyA}, {"key", "d1"}}));
    QCOMPARE(fileList(service).size(), 1);
    QCOMPARE(ask(service, "removeAllHistory", QJsonObject{{"key", "d2"}}), (QJsonObject{{"key", "d2"}}));
    QCOMPARE(fileList(service).size(), 0);
    QCOMPARE(contentsOf(pathA), body);
    QCOMPARE(contentsOf(pathB), QByteArray("b"));
}

void tst_ZuvoHost::historySurvivesRestart()
{
    // Given a host that ends with one download complete and one running, the
    // next host lists the complete one as it was and the running one as
    // failed, ready to be downloaded again.
    HttpFixture server;
    QVERIFY(server.listenOn());
    HttpResponse halfway{200, "application/octet-stream", bodyOf(4096), {}, 0};
    halfway.cutAfterBytes = 100;
    halfway.cut = HttpResponse::Cut::Stall;
    server.setResponse("/done.txt", HttpResponse{200, "text/plain", "done", {}, 0});
    server.setResponse("/cut.bin", halfway);
    QTemporaryDir folder;
    const QString historyPath = folder.filePath(QStringLiteral("history.json"));
    const QString donePath = folder.filePath(QStringLiteral("done.txt"));
    QString keyDone;
    QString keyCut;
    QJsonArray listBefore;
    {
        WebFileService first;
        QString error;
        QVERIFY2(first.openHistory(historyPath, &error), qPrintable(error));
        keyDone = startDownload(first, server.url("/done.txt"), donePath);
        QTRY_COMPARE_WITH_TIMEOUT(statusOf(first, keyDone), ready, processTimeout);
        keyCut = startDownload(first, server.url("/cut.bin"), folder.filePath(QStringLiteral("cut.bin")));
        QTRY_COMPARE_WITH_TIMEOUT(server.stalledCount(), 1, processTimeout);
        listBefore = fileList(first);
    }

    WebFileService second;
    QString error;
    QVERIFY2(second.openHistory(historyPath, &error), qPrintable(error));
    const QJsonArray listAfter = fileList(second);
    QCOMPARE(listAfter.size(), 2);
    QCOMPARE(listAfter.at(0), listBefore.at(0));
    QCOMPARE(statusOf(second, keyCut), failed);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), (QStringList{"done.txt", "history.json"}));

    server.setResponse("/cut.bin", HttpResponse{200, "application/octet-stream", "whole", {}, 0});
    ask(second, "restartDownload", QJsonObject{{"fileKey", keyCut}, {"key", "r"}});
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(second, keyCut), ready, processTimeout);

    // A damaged history is refused and left as it was, not overwritten.
    QVERIFY(!writeFile(historyPath, "{\"records\":[").isEmpty());
    WebFileService third;
    QVERIFY(!third.openHistory(historyPath, &error));
    QVERIFY2(error.contains(historyPath), qPrintable(error));
    QCOMPARE(contentsOf(historyPath), QByteArray("{\"records\":["));
}

void tst_ZuvoHost::endsWithTheBrowser_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<bool>("throughSymlink");
    QTest::addColumn<QString>("reason");

    QTest::newRow("quit") << "quit" << false << "quit";
    QTest::newRow("quit, browser given by a symbolic link") << "quit" << true << "quit";
    QTest::newRow("SIGTERM") << "SIGTERM" << false << "signal 15";
    QTest::newRow("SIGINT") << "SIGINT" << false << "signal 2";
    QTest::newRow("end of input with --exit-on-eof") << "eof" << false << "end of input";
}

void tst_ZuvoHost::endsWithTheBrowser()
{
    QFETCH(QString, ending);
    QFETCH(bool, throughSymlink);
    QFETCH(QString, reason);

    // The browser derives its endpoint from its real folder, not the link's.
    QTemporaryDir linkDir;
    const QString link = linkDir.filePath(QStringLiteral("browser"));
    QVERIFY(QFile::link(_browserPath, link));

    QStringList arguments{QStringLiteral("--browser"), throughSymlink ? link : _browserPath};
    if (ending == QLatin1String("eof"))
        arguments << QStringLiteral("--exit-on-eof");
    HostRun host(arguments);
    QTRY_VERIFY_WITH_TIMEOUT(host.printed("host: browser connected"), processTimeout);

    if (ending == QLatin1String("quit"))
        host.process().write("quit\n");
    else if (ending == QLatin1String("eof"))
        host.process().closeWriteChannel();
    else
        host.sendSignal(ending == QLatin1String("SIGTERM") ? SIGTERM : SIGINT);

    QTRY_VERIFY_WITH_TIMEOUT(host.hasEnded(), processTimeout);
    QCOMPARE(host.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(host.process().exitCode(), 0);
    const QStringList lines = host.lines();
    QVERIFY(lines.contains("host: closing link (" + reason + ')'));
    QCOMPARE(lines.last(), QStringLiteral("host: browser exited with code 0"));
}

void tst_ZuvoHost::keepReadyStartsTheNextBrowser()
{
    // Given --keep-ready, a browser that ends on its own (its window closed,
    // here killed) is followed by the next, which connects and waits; quit
    // still ends the host with the browser.
    HostRun host({QStringLiteral("--browser"), _browserPath, QStringLiteral("--keep-ready")});
    QTRY_VERIFY_WITH_TIMEOUT(host.printed("host: browser connected"), processTimeout);
    const qint64 first = host.browserPid();
    ::kill(pid_t(first), SIGKILL);
    QTRY_COMPARE_WITH_TIMEOUT(host.lines().filter("host: browser connected").size(), 2, processTimeout);
    QVERIFY(host.lines().contains("host: browser ended by signal 9"));
    QVERIFY(!host.hasEnded());

    host.process().write("quit\n");
    QTRY_VERIFY_WITH_TIMEOUT(host.hasEnded(), processTimeout);
    QCOMPARE(host.process().exitCode(), 0);
    QCOMPARE(host.lines().filter("host: browser started").size(), 2);
    QCOMPARE(host.lines().last(), QStringLiteral("host: browser exited with code 0"));
}

void tst_ZuvoHost::keepsRunningAtEndOfInputByDefault()
{
    // `zuvohost < /dev/null` must keep the browser, so the end of input only
    // gets noted and the link stays until the signal.
    HostRun host({QStringLiteral("--browser"), _browserPath});
    QTRY_VERIFY_WITH_TIMEOUT(host.printed("host: browser connected"), processTimeout);
    host.process().closeWriteChannel();
    QTRY_VERIFY_WITH_TIMEOUT(host.printed("host: end of input"), processTimeout);

    host.sendSignal(SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(host.hasEnded(), processTimeout);
    QCOMPARE(host.process().exitCode(), 0);
    QCOMPARE(host.lines().filter("host: closing link").join(';'), QStringLiteral("host: closing link (signal 15)"));
}

void tst_ZuvoHost::exitCodeOfStandIn_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("terminateHost");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("lastLine");

    QTest::newRow("browser exits with 7") << QByteArray("exit 7") << false << 7 << "host: browser exited with code 7";
    QTest::newRow("browser outstays the link, killed")
        << QByteArray("exec sleep 60") << true << 128 + SIGKILL << "host: browser ended by signal 9";
}

void tst_ZuvoHost::exitCodeOfStandIn()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, terminateHost);
    QFETCH(int, exitCode);
    QFETCH(QString, lastLine);

    QTemporaryDir dir;
    HostRun host({QStringLiteral("--browser"), writeScript(dir.path(), script)});
    QTRY_VERIFY_WITH_TIMEOUT(host.browserPid() > 0, processTimeout);
    if (terminateHost)
        host.sendSignal(SIGTERM);

    QTRY_VERIFY_WITH_TIMEOUT(host.hasEnded(), processTimeout);
    QCOMPARE(host.process().exitCode(), exitCode);
    QCOMPARE(host.lines().last(), lastLine);
}

void tst_ZuvoHost::configuresAndAnswersOverTheLink()
{
    // Given a host whose stand-in browser relays its link to this test, the
    // test sees the very bytes and answers a browser would get.
    QTemporaryDir browserDir;
    const QString endpoint = transport::serverNameFor(canonicalDir(browserDir.path()));
    QLocalServer relay;
    QVERIFY(relay.listen(QStringLiteral("zuvo-host-relay-%1").arg(QCoreApplication::applicationPid())));
    const QString browser = writeScript(browserDir.path(), QStringLiteral("exec '%1' '%2' '%3'")
                                                               .arg(QStringLiteral(ZUVO_LINK_RELAY), endpoint, relay.fullServerName())
                                                               .toLocal8Bit());
    const QString configPath = writeFile(_dataDir.filePath(QStringLiteral("link.json")),
                                         R"({"updateStoreToZuvo":true,"Icon":"logo.png","title":"Zuvo",)"
                                         R"("accessToken":"from-file",)"
                                         R"("userInfo":{"name":"Ada"}})");
    HostRun host({QStringLiteral("--browser"), browser, QStringLiteral("--config"), configPath,
                  QStringLiteral("--url"), QStringLiteral("https://example.com/")});
    QTRY_VERIFY_WITH_TIMEOUT(host.printed("host: listening on " + endpoint), processTimeout);

    QVERIFY(relay.waitForNewConnection(processTimeout));
    QLocalSocket &socket = *relay.nextPendingConnection();
    QByteArray received;
    connect(&socket, &QLocalSocket::readyRead, this, [&] { received += socket.readAll(); });
    received += socket.readAll();
    const QByteArray configuration = wire("config", "title", "Zuvo") + "config:Icon:" + imageBytes.toBase64() + ';' +
                                     wire("config", "accessToken", "from-file") +
                                     wire("event", "updateStoreToZuvo", "true") +
                                     wire("event", "showUrl", "https://example.com/");
    QTRY_COMPARE_WITH_TIMEOUT(received, configuration, processTimeout);

    // A token set later replaces the configured one, for the downloads too.
    host.process().write("config accessToken typed\n");
    QTRY_VERIFY_WITH_TIMEOUT(received.endsWith(wire("config", "accessToken", "typed")), processTimeout);

    // When the browser asks, the host prints each request and answers it with the key echoed.
    received.clear();
    HttpFixture server;
    QVERIFY(server.listenOn());
    server.setResponse("/r.pdf", HttpResponse{200, "application/pdf", "%PDF", {}, 0});
    const QString pdfPath = _dataDir.filePath(QStringLiteral("r.pdf"));
    const QString key = QStringLiteral("00112233445566778899aabbccddeeff");
    const QByteArray download =
        jsonText({{"key", key}, {"name", pdfPath}, {"url", server.url(QStringLiteral("/r.pdf")).toString()}});
    socket.write(transport::encodeMessage("iq", "currentuserinfo", key) +
                 transport::encodeMessage("webfile", "startDownload", QString::fromUtf8(download)));
    QTRY_VERIFY_WITH_TIMEOUT(host.printed("webfile startDownload " + download), processTimeout);
    QVERIFY(host.printed("iq currentuserinfo " + key));
    QTRY_COMPARE_WITH_TIMEOUT(MessageFramer().append(received).size(), 2, processTimeout);
    const QStringList replies = MessageFramer().append(received);
    QCOMPARE(decodedReply(replies[0], "iq:currentuserinfoRes:"),
             (QJsonObject{{"key", key}, {"info", R"({"name":"Ada"})"}}));
    QCOMPARE(decodedReply(replies[1], "webfile:startDownloadRes:"),
             (QJsonObject{{"key", key}, {"info", "Download started: " + pdfPath}}));
    QTRY_VERIFY_WITH_TIMEOUT(host.printed("host: downloaded " + pdfPath + ", 4 bytes"), processTimeout);
    QCOMPARE(server.requestsFor("/r.pdf").value(0).headerValues("X-Access-Token"), {QByteArray("typed")});
    QCOMPARE(contentsOf(pdfPath), QByteArray("%PDF"));

    // Then SIGTERM closes the link, and the stand-in ends with it, as a
    // browser does: the host ends with the browser's own exit code.
    host.sendSignal(SIGTERM);
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, processTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(host.hasEnded(), processTimeout);
    QCOMPARE(host.process().exitCode(), 0);
}

QTEST_GUILESS_MAIN(tst_ZuvoHost)
#include "tst_zuvohost.moc"
