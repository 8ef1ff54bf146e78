// The browser as its host and its user meet it: the real process on a real X
// server with openbox, driven over the real local socket by a host in this
// test (and once by the reference host zuvohost), with pages from an HTTP
// server on loopback and real pointer input. Click points come from the
// browser's own layout code, run here on the same configuration. One browser
// serves the conversation from the first "showUrl" to the host closing the
// link; later cases start processes of their own.
#include "browserrun.h"
#include "contentlayout.h"
#include "httpfixture.h"
#include "x11driver.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"
#include "zuvohostrun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using testsupport::HttpFixture;

namespace {

const int windowTimeout = 15000;
const QString title = QStringLiteral("Zuvo End To End");
const QRect configuredRect(200, 150, 900, 640);
const QColor titleColour(40, 90, 160);
const QString accessToken = QStringLiteral("e2e-token-7f3a");
const QString userInfo = QStringLiteral("Ada Example, u-1001");
const QString channelId = QStringLiteral("channel-4711");

const HostSettings settings = {
    {QStringLiteral("title"), title},
    {QStringLiteral("windowsRect"), QStringLiteral("200,150,900,640")},
    {QStringLiteral("miniWidth"), QStringLiteral("600")},
    {QStringLiteral("titleHeight"), QStringLiteral("40")},
    {QStringLiteral("titleLeft"), QStringLiteral("8")},
    {QStringLiteral("titleSkip"), QStringLiteral("12")},
    {QStringLiteral("titleBackgroundColor"), QStringLiteral("40,90,160,255")},
    {QStringLiteral("shadowColor"), QStringLiteral("20,20,20,255")},
    {QStringLiteral("refreshText"), QStringLiteral("Reload")},
    {QStringLiteral("collectText"), QStringLiteral("Keep")},
    {QStringLiteral("shareText"), QStringLiteral("Pass on")},
    {QStringLiteral("webFileText"), QStringLiteral("Downloads")},
    {QStringLiteral("infoBoxOk"), QStringLiteral("Got it")},
    {QStringLiteral("infoBoxSize"), QStringLiteral("320,140")},
    {QStringLiteral("infoBoxMargin"), QStringLiteral("20,20,22,16")},
    {QStringLiteral("accessToken"), accessToken},
};

// Posts the channel message, asks for the user and reports the answer twice:
// as a log text through the bridge and as an image request to this server.
const QByteArray talkingPage = R"(<!doctype html><html><head><title>start</title>
<style>html,body{margin:0;height:100%;background:#ffffff}</style></head><body><script>
var bridge = window.zuvowebkitbridge;
bridge.postMessage(JSON.stringify({action: "go_to_channel_info", data: "channel-4711"}));
var info = bridge.getCurrentUserInfo();
bridge.postLog("user:" + info);
new Image().src = "/report?info=" + encodeURIComponent(info);
</script></body></html>)";

const QByteArray plainPage = R"(<!doctype html><html><head><title>second</title>
<style>html,body{margin:0;height:100%;background:#ffffff}</style></head><body></body></html>)";

QString positionText(const QRect &frame)
{
    return ZuvoChatWebBroswer::positionText(frame, false);
}

bool near(QRgb pixel, const QColor &expected, int tolerance = 3)
{
    return qAbs(qRed(pixel) - expected.red()) <= tolerance && qAbs(qGreen(pixel) - expected.green()) <= tolerance &&
           qAbs(qBlue(pixel) - expected.blue()) <= tolerance;
}

// What the dimming layer (black at alpha 40) leaves of a colour.
QColor dimmed(const QColor &colour)
{
    const auto dim = [](int component) { return component * (255 - 40) / 255; };
    return QColor(dim(colour.red()), dim(colour.green()), dim(colour.blue()));
}

// Pointer away from the window, so that no button is hovered in a screenshot.
void parkPointer()
{
    x11::movePointer(QPoint(1590, 5));
}

// The rightmost column of the title bar holding caption or logo pixels.
int rightmostTitleInk(const QImage &shot, const QRect &client, int titleHeight)
{
    const int top = client.top() + ContentLayout::contentOffset().y();
    for (int x = client.right() - 2; x > client.left(); --x) {
        for (int y = top + 2; y < top + titleHeight - 2; ++y) {
            if (!near(shot.pixel(x, y), titleColour, 40))
                return x;
        }
    }
    return -1;
}

QString reportedInfo(const HttpFixture &server)
{
    const QByteArray prefix = "/report?info=";
    for (const testsupport::HttpRequest &request : server.requests()) {
        if (request.path.startsWith(prefix))
            return QUrl::fromPercentEncoding(request.path.mid(prefix.size()));
    }
    return QString();
}

QJsonValue settingValue(const QString &text)
{
    // Lists of integers are JSON arrays for the reference host.
    static const QRegularExpression integerList(QStringLiteral("^-?\\d+(,-?\\d+)+$"));
    if (!integerList.match(text).hasMatch())
        return text;
    QJsonArray numbers;
    for (const QString &part : text.split(QLatin1Char(',')))
        numbers.append(part.toInt());
    return numbers;
}

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void firstPositionReportArrivesWithinTwoSeconds();
    void movedWindowIsReportedWithinASecond();
    void windowFollowsConfiguration();
    void pageTalksToHostThroughBridge();
    void secondShowUrlReusesTheWindow();
    void activeBringsWindowToFront();
    void titleBarButtonsSendFeedback_data();
    void titleBarButtonsSendFeedback();
    void hidingShareMovesDownloadButton();
    void titleBarDragMovesWindow();
    void rightEdgeDragWidensWindow();
    void messageBoxDimsContentUntilConfirmed();
    void positionReportsNeverRepeat();
    void hostClosingLinkEndsProcess();

    void withoutHostExitsWithoutWindow();
    void referenceHostConversation();

private:
    QRect client() const { return x11::clientGeometry(_window); }
    QPoint onScreen(const QPoint &clientPoint) const { return client().topLeft() + clientPoint; }
    void clickButton(const char *objectName);
    // Shows the message, checks the dimmed content and the white box at the
    // centre, confirms it and checks the dimming is gone.
    void checkMessageBox(const std::function<void(const QString &)> &show, const QString &text,
                         const QString &screenshotName);

    HttpFixture _server;
    BrowserRun _browser;
    x11::WindowId _window = 0;
    struct Report {
        QString text;
        qint64 after; // ms after the first "showUrl"
    };
    QElapsedTimer _clock;
    QList<Report> _reports;
};

void tst_EndToEnd::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(_server.listenOn());
    _server.setPage("/start", talkingPage);
    _server.setPage("/second", plainPage);
    _server.setResponse("/report", {200, "image/png", HttpFixture::pngBytes(), {}});
    _browser.answerUserInfo(userInfo);
    connect(&_browser.host(), &HostLink::messageReceived, this, [this](const HostLink::Message &message) {
        if (message.command == QLatin1String("savePosition"))
            _reports.append({message.text(), _clock.elapsed()});
    });

    QVERIFY(_browser.start(windowTimeout));
    _browser.configure(settings);
    _clock.start();
    _browser.showUrl(_server.url(QStringLiteral("/start")));
    _window = _browser.waitForWindow(windowTimeout);
    QVERIFY2(_window, "the browser mapped no window");
}

void tst_EndToEnd::clickButton(const char *objectName)
{
    const ContentLayout layout(client().size());
    const QRect button = layout.rectOf(objectName);
    QVERIFY2(!button.isEmpty(), objectName);
    x11::click(onScreen(button.center()));
    parkPointer();
}

void tst_EndToEnd::firstPositionReportArrivesWithinTwoSeconds()
{
    // The first frame known is reported, also when it is the configured one.
    const QString frame = positionText(x11::frameGeometry(_window));
    QVERIFY2(x11::frameGeometry(_window) != client(), "openbox drew no frame");
    QTRY_VERIFY_WITH_TIMEOUT(!_reports.isEmpty(), 5000);
    QCOMPARE(_reports.first().text, frame);
    QVERIFY2(_reports.first().after <= 2500, qPrintable(QString::number(_reports.first().after)));
}

void tst_EndToEnd::movedWindowIsReportedWithinASecond()
{
    const QRect before = client();
    x11::moveWindow(_window, before.topLeft() + QPoint(60, 40));
    QTRY_VERIFY_WITH_TIMEOUT(client().topLeft() != before.topLeft(), 5000);
    const qint64 movedAt = _clock.elapsed();
    QCOMPARE(client().size(), before.size());

    const QString moved = positionText(x11::frameGeometry(_window));
    QTRY_COMPARE_WITH_TIMEOUT(_reports.value(_reports.size() - 1).text, moved, 3000);
    // The timer ticks once a second; the move is seen at the next tick.
    const qint64 delay = _reports.last().after - movedAt;
    QVERIFY2(delay <= 2000, qPrintable(QString::number(delay)));
}

void tst_EndToEnd::windowFollowsConfiguration()
{
    // Given the configuration before the first "showUrl", the one window it
    // opened has the configured title and frame size; only the move above
    // changed its place.
    QCOMPARE(x11::visibleWindowsOf(_browser.pid()), QList<x11::WindowId>{_window});
    QCOMPARE(x11::windowName(_window), title);
    QCOMPARE(x11::frameGeometry(_window).size(), configuredRect.size());

    QTRY_VERIFY_WITH_TIMEOUT(!_server.requestsFor("/start").isEmpty(), windowTimeout);
    QCOMPARE(_server.requestsFor("/start").first().headerValues("X-Access-Token"),
             QList<QByteArray>{accessToken.toUtf8()});
}

void tst_EndToEnd::pageTalksToHostThroughBridge()
{
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(QStringLiteral("gotoChannel")), QStringList{channelId}, windowTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(QStringLiteral("currentuserinfo")).size(), 1, windowTimeout);
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$"))
                .match(_browser.texts(QStringLiteral("currentuserinfo")).first())
                .hasMatch());

    // The script got the host's answer, and said so both ways.
    QTRY_COMPARE_WITH_TIMEOUT(reportedInfo(_server), userInfo, windowTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(QStringLiteral("receiveLog")),
                              QStringList{QStringLiteral("user:") + userInfo}, windowTimeout);
    for (const testsupport::HttpRequest &request : _server.requests())
        QCOMPARE(request.headerValues("X-Access-Token"), QList<QByteArray>{accessToken.toUtf8()});
}

void tst_EndToEnd::secondShowUrlReusesTheWindow()
{
    const QRect before = client();
    _browser.showUrl(_server.url(QStringLiteral("/second")));
    QTRY_COMPARE_WITH_TIMEOUT(_server.requestsFor("/second").size(), 1, windowTimeout);
    QCOMPARE(_server.requestsFor("/second").first().headerValues("X-Access-Token"),
             QList<QByteArray>{accessToken.toUtf8()});
    QCOMPARE(x11::visibleWindowsOf(_browser.pid()), QList<x11::WindowId>{_window});
    QCOMPARE(client(), before);
}

void tst_EndToEnd::activeBringsWindowToFront()
{
    // Given another application's window in front, placed clear of the browser.
    QWidget other;
    other.setWindowTitle(QStringLiteral("another application"));
    other.setGeometry(1300, 1000, 200, 100);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    x11::activateWindow(other.winId());
    QTRY_COMPARE_WITH_TIMEOUT(x11::activeWindow(), x11::WindowId(other.winId()), 5000);

    _browser.send(QStringLiteral("event"), QStringLiteral("active"), QString());
    QTRY_COMPARE_WITH_TIMEOUT(x11::activeWindow(), _window, 5000);
}

void tst_EndToEnd::titleBarButtonsSendFeedback_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("command");
    QTest::newRow("refresh") << QByteArray("refresh") << QStringLiteral("refresh");
    QTest::newRow("store") << QByteArray("storeToZuvo") << QStringLiteral("storeToZuvo");
    QTest::newRow("share") << QByteArray("shareToFriend") << QStringLiteral("share");
}

void tst_EndToEnd::titleBarButtonsSendFeedback()
{
    QFETCH(QByteArray, button);
    QFETCH(QString, command);
    const QStringList feedback = {QStringLiteral("refresh"), QStringLiteral("storeToZuvo"), QStringLiteral("share")};
    QMap<QString, int> before;
    for (const QString &name : feedback)
        before[name] = _browser.texts(name).size();

    clickButton(button.constData());
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(command).size(), before[command] + 1, 5000);
    QCOMPARE(_browser.texts(command).last(), QString());
    for (const QString &name : feedback) {
        if (name != command)
            QCOMPARE(_browser.texts(name).size(), before[name]);
    }
}

void tst_EndToEnd::hidingShareMovesDownloadButton()
{
    // The download-history button is the last of the row, so its caption's
    // right end is the title bar's rightmost ink.
    const ContentLayout shown(client().size());
    const QRect share = shown.rectOf("shareToFriend");
    QVERIFY(!share.isEmpty());
    parkPointer();
    const int inkWithShare = rightmostTitleInk(x11::screenshot(), client(), shown.titleHeight());
    QVERIFY(inkWithShare > shown.rectOf("webFile").center().x());

    _browser.sendAndMirror(QStringLiteral("event"), QStringLiteral("updateShareToFriend"), QStringLiteral("false"));
    const ContentLayout hidden(client().size());
    const int shift = shown.rectOf("webFile").x() - hidden.rectOf("webFile").x();
    QVERIFY(shift > 0);
    QTRY_COMPARE_WITH_TIMEOUT(rightmostTitleInk(x11::screenshot(), client(), shown.titleHeight()),
                              inkWithShare - shift, 5000);
    x11::keepScreenshot(x11::screenshot(), QStringLiteral("title-bar-without-share"));

    // A click where the share button was sends no share: the download button
    // has moved there and opens the panel, and Back, placed right after the
    // logo, returns to the page. The refresh click after them is handled
    // later, so once it arrives no share can follow.
    const int shares = _browser.texts(QStringLiteral("share")).size();
    const int refreshes = _browser.texts(QStringLiteral("refresh")).size();
    const int lists = _browser.texts(QStringLiteral("getFileList")).size();
    x11::click(onScreen(share.center()));
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(QStringLiteral("getFileList")).size(), lists + 1, 5000);
    const QRect logo = hidden.rectOf("logo");
    x11::click(onScreen(QPoint(logo.right() + 1 + ZuvoChatWBConfigure::TitleSkip() + 5, logo.center().y())));
    clickButton("refresh");
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(QStringLiteral("refresh")).size(), refreshes + 1, 5000);
    QCOMPARE(_browser.texts(QStringLiteral("share")).size(), shares);

    // Showing it again puts the row back, and the button answers there.
    _browser.sendAndMirror(QStringLiteral("event"), QStringLiteral("updateShareToFriend"), QStringLiteral("true"));
    QTRY_COMPARE_WITH_TIMEOUT(rightmostTitleInk(x11::screenshot(), client(), shown.titleHeight()), inkWithShare,
                              5000);
    clickButton("shareToFriend");
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(QStringLiteral("share")).size(), shares + 1, 5000);
}

void tst_EndToEnd::titleBarDragMovesWindow()
{
    const QRect before = client();
    const ContentLayout layout(before.size());
    const QPoint from = onScreen(layout.emptyTitleBarSpot());
    const QPoint displacement(120, 70);

    x11::drag(from, from + displacement);
    parkPointer();
    QTRY_COMPARE_WITH_TIMEOUT(client(), before.translated(displacement), 5000);
}

void tst_EndToEnd::rightEdgeDragWidensWindow()
{
    // Under openbox's frame the right edge follows the pointer and the
    // window keeps its place and height to the pixel.
    const QRect before = client();
    const ContentLayout layout(before.size());
    const QPoint from = onScreen(layout.rightEdgeSpot());
    const int dx = 150;

    x11::drag(from, from + QPoint(dx, 0));
    parkPointer();
    QTRY_COMPARE_WITH_TIMEOUT(client(), before.adjusted(0, 0, dx, 0), 5000);
}

void tst_EndToEnd::checkMessageBox(const std::function<void(const QString &)> &show, const QString &text,
                                   const QString &screenshotName)
{
    const QRect area = client();
    const ContentLayout layout(area.size());
    const QRect box = layout.messageBoxRect(text).translated(area.topLeft());
    const QRect button = layout.messageBoxButtonRect(text).translated(area.topLeft());
    QVERIFY(!box.isEmpty());
    const QPoint page = area.bottomLeft() + QPoint(30, -30);
    const QPoint titleBar = onScreen(layout.emptyTitleBarSpot());
    const QPoint blankOfBox = box.topRight() + QPoint(-8, 8);
    parkPointer();

    show(text);
    QImage shot;
    QTRY_VERIFY_WITH_TIMEOUT((shot = x11::screenshot(), near(shot.pixel(page), dimmed(Qt::white))), 5000);
    x11::keepScreenshot(shot, screenshotName);
    QVERIFY(near(shot.pixel(titleBar), dimmed(titleColour)));
    QVERIFY(near(shot.pixel(blankOfBox), Qt::white, 0));
    // The box sits exactly where the browser's layout code puts it.
    const int middle = box.center().y();
    QVERIFY(near(shot.pixel(box.left(), middle), Qt::white, 0));
    QVERIFY(near(shot.pixel(box.left() - 1, middle), dimmed(Qt::white)));
    QVERIFY(near(shot.pixel(box.right(), middle), Qt::white, 0));
    QVERIFY(near(shot.pixel(box.right() + 1, middle), dimmed(Qt::white)));
    QVERIFY(near(shot.pixel(box.center().x(), box.bottom() + 1), dimmed(Qt::white)));
    QVERIFY(near(shot.pixel(box.center().x(), box.top() - 1), dimmed(Qt::white)));
    int captionPixels = 0;
    for (int y = button.top(); y <= button.bottom(); ++y) {
        for (int x = button.left(); x <= button.right(); ++x)
            captionPixels += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
    }
    QVERIFY2(captionPixels > 10, "no caption on the box's button");

    x11::click(button.center());
    parkPointer();
    QTRY_VERIFY_WITH_TIMEOUT((shot = x11::screenshot(), near(shot.pixel(page), Qt::white, 0)), 5000);
    x11::keepScreenshot(shot, screenshotName + QStringLiteral("-confirmed"));
    QVERIFY(near(shot.pixel(titleBar), titleColour, 0));
    QVERIFY(near(shot.pixel(box.center()), Qt::white, 0));
}

void tst_EndToEnd::messageBoxDimsContentUntilConfirmed()
{
    checkMessageBox(
        [this](const QString &text) {
            _browser.send(QStringLiteral("event"), QStringLiteral("showBoxMessage"), text);
        },
        QStringLiteral("Saved to Zuvo"), QStringLiteral("message-box"));
    if (QTest::currentTestFailed())
        return;
    // The title bar takes clicks again.
    const int refreshes = _browser.texts(QStringLiteral("refresh")).size();
    clickButton("refresh");
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(QStringLiteral("refresh")).size(), refreshes + 1, 5000);
}

void tst_EndToEnd::positionReportsNeverRepeat()
{
    const QString current = positionText(x11::frameGeometry(_window));
    QTRY_COMPARE_WITH_TIMEOUT(_browser.lastText(QStringLiteral("savePosition")), current, 3000);
    const QStringList reports = _browser.texts(QStringLiteral("savePosition"));
    // Start, move by the window manager, the drags (which may share a tick).
    QVERIFY2(reports.size() >= 3, qPrintable(reports.join(QLatin1Char(' '))));
    for (int i = 1; i < reports.size(); ++i)
        QVERIFY2(reports[i] != reports[i - 1], qPrintable(reports.join(QLatin1Char(' '))));
}

void tst_EndToEnd::hostClosingLinkEndsProcess()
{
    QProcess &process = _browser.process();
    QElapsedTimer sinceClose;
    qint64 exitedAfter = -1;
    connect(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [&] { exitedAfter = sinceClose.elapsed(); });

    sinceClose.start();
    _browser.host().closeConnection();
    QTRY_VERIFY_WITH_TIMEOUT(x11::visibleWindowsOf(_browser.pid()).isEmpty(), 1000);
    const qint64 goneAfter = sinceClose.elapsed();
    // The window goes first; the process follows half a second later.
    QVERIFY2(exitedAfter < 0, qPrintable(QString::number(exitedAfter)));

    QTRY_VERIFY_WITH_TIMEOUT(exitedAfter >= 0, 5000);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(exitedAfter >= 450 && exitedAfter < 2500,
             qPrintable(QStringLiteral("window gone after %1 ms, exit after %2 ms").arg(goneAfter).arg(exitedAfter)));
    _window = 0;
}

void tst_EndToEnd::withoutHostExitsWithoutWindow()
{
    // A copy of its own has an endpoint nobody listens on.
    QTemporaryDir dir;
    const QString browser = BrowserRun::copyInto(dir);
    QVERIFY(!browser.isEmpty());
    QLocalServer::removeServer(BrowserRun::endpointOf(browser));

    x11::MapWatcher watcher;
    QVERIFY(watcher.start(5000));
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(browser, QStringList());
    QVERIFY(process.waitForFinished(10000));
    const qint64 elapsed = clock.elapsed();
    QVERIFY(watcher.mark(5000));

    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(elapsed >= 450, qPrintable(QString::number(elapsed)));
    QCOMPARE(watcher.mappedBetweenMarks(), QStringList());
}

void tst_EndToEnd::referenceHostConversation()
{
    // Given zuvohost with a configuration file and an address, the full
    // conversation: the window, the page's messages answered by the host, the
    // user's clicks, a message box, and quit.
    QTemporaryDir dir;
    const QString browser = BrowserRun::copyInto(dir);
    QVERIFY(!browser.isEmpty());
    QJsonObject config;
    for (const auto &setting : settings)
        config.insert(setting.first, settingValue(setting.second));
    config.insert(QStringLiteral("userInfo"), userInfo);
    const QString configPath = dir.filePath(QStringLiteral("host.json"));
    QFile configFile(configPath);
    QVERIFY(configFile.open(QIODevice::WriteOnly));
    configFile.write(QJsonDocument(config).toJson());
    configFile.close();
    _server.clearRequests();

    ZuvoHostRun host({QStringLiteral("--browser"), browser, QStringLiteral("--config"), configPath,
                      QStringLiteral("--url"), _server.url(QStringLiteral("/start")).toString(),
                      QStringLiteral("--quiet-browser")});
    const QString startedPrefix = QStringLiteral("host: browser started, pid ");
    QTRY_VERIFY_WITH_TIMEOUT(!host.firstLineStartingWith(startedPrefix).isEmpty(), windowTimeout);
    const qint64 pid = host.firstLineStartingWith(startedPrefix).mid(startedPrefix.size()).toLongLong();
    QTRY_COMPARE_WITH_TIMEOUT(x11::visibleWindowsOf(pid).size(), 1, windowTimeout);
    _window = x11::visibleWindowsOf(pid).first();
    QCOMPARE(x11::windowName(_window), title);
    QTRY_VERIFY_WITH_TIMEOUT(!x11::frameExtents(_window).isNull(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(x11::frameGeometry(_window), configuredRect, 5000);

    QTRY_VERIFY_WITH_TIMEOUT(host.printed(QStringLiteral("feedback gotoChannel ") + channelId), windowTimeout);
    // The page's question comes after its message, through its own process
    // on some engines: not always in the same read.
    QTRY_VERIFY_WITH_TIMEOUT(!host.firstLineStartingWith(QStringLiteral("iq currentuserinfo ")).isEmpty(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(reportedInfo(_server), userInfo, windowTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(host.printed(QStringLiteral("feedback receiveLog user:") + userInfo), windowTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!host.firstLineStartingWith(QStringLiteral("feedback savePosition ")).isEmpty(), 5000);

    clickButton("refresh");
    QTRY_VERIFY_WITH_TIMEOUT(host.printed(QStringLiteral("feedback refresh")), 5000);
    clickButton("storeToZuvo");
    QTRY_VERIFY_WITH_TIMEOUT(host.printed(QStringLiteral("feedback storeToZuvo")), 5000);
    checkMessageBox([&host](const QString &text) { host.type("message " + text.toUtf8()); },
                    QStringLiteral("Hello from zuvohost"), QStringLiteral("zuvohost-message-box"));
    if (QTest::currentTestFailed())
        return;

    host.type("quit");
    QTRY_VERIFY_WITH_TIMEOUT(host.printed(QStringLiteral("host: browser exited with code 0")), 10000);
    QVERIFY(host.printed(QStringLiteral("host: closing link (quit)")));
    QTRY_COMPARE_WITH_TIMEOUT(host.process().state(), QProcess::NotRunning, 5000);
    QCOMPARE(host.process().exitCode(), 0);
    QVERIFY(x11::visibleWindowsOf(pid).isEmpty());
}

QTEST_MAIN(tst_EndToEnd)
#include "x11_endtoend.moc"
