// The browser process under a host that sends garbage: after each kind of
// hostile input the same process must still follow the host (a new address
// reaches the loopback server), still take the user's clicks (the refresh
// button's feedback arrives, which also shows that no stray message box
// covers the title bar), and at the end still report its position and leave
// with exit code 0 when the link closes.
#include "browserrun.h"
#include "contentlayout.h"
#include "httpfixture.h"
#include "x11driver.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

using testsupport::HttpFixture;

namespace {

const int timeout = 15000;

const HostSettings settings = {
    {QStringLiteral("title"), QStringLiteral("Zuvo Hostile Input")},
    {QStringLiteral("windowsRect"), QStringLiteral("300,200,800,560")},
    {QStringLiteral("accessToken"), QStringLiteral("hostile-token")},
};

const QByteArray plainPage = R"(<!doctype html><html><head><title>page</title></head>
<body style="margin:0;background:#ffffff"></body></html>)";

QByteArray randomBytes(int size)
{
    QRandomGenerator generator(0x2b1d5eed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

} // namespace

class tst_HostileInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void browserKeepsAnswering_data();
    void browserKeepsAnswering();
    void positionStillReported();
    void endsCleanlyWhenLinkCloses();

private:
    void writeInChunks(const QByteArray &bytes, int chunkSize);
    bool followsNewAddress();
    bool takesRefreshClick();
    void confirmMessageBox();

    HttpFixture _server;
    BrowserRun _browser;
    x11::WindowId _window = 0;
    int _probes = 0;
};

void tst_HostileInput::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(_server.listenOn());
    _server.setPage("/page", plainPage);
    _server.setPage("/alive", plainPage);
    QVERIFY(_browser.start(timeout));
    _browser.configure(settings);
    _browser.showUrl(_server.url(QStringLiteral("/page")));
    _window = _browser.waitForWindow(timeout);
    QVERIFY2(_window, "the browser mapped no window");
    QTRY_VERIFY_WITH_TIMEOUT(!_server.requestsFor("/page").isEmpty(), timeout);
}

void tst_HostileInput::writeInChunks(const QByteArray &bytes, int chunkSize)
{
    for (int offset = 0; offset < bytes.size(); offset += chunkSize) {
        _browser.host().sendRaw(bytes.mid(offset, chunkSize));
        // Lets the socket write this piece before the next one is queued.
        QCoreApplication::processEvents();
    }
}

bool tst_HostileInput::followsNewAddress()
{
    // The ";" first ends whatever the noise left unfinished, as a host that
    // resynchronises would. Bytes after a NUL are dropped with the rest of
    // their read, as designed; a probe that shared that read is lost with
    // them and sent again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString path = QStringLiteral("/alive?n=%1").arg(++_probes);
        _browser.host().sendRaw(";");
        _browser.showUrl(_server.url(path));
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 2000) {
            if (!_server.requestsFor(path.toLatin1()).isEmpty())
                return true;
            QTest::qWait(20);
        }
    }
    return false;
}

bool tst_HostileInput::takesRefreshClick()
{
    const int before = _browser.texts(QStringLiteral("refresh")).size();
    const QRect client = x11::clientGeometry(_window);
    const ContentLayout layout(client.size());
    x11::click(client.topLeft() + layout.centreOf("refresh"));
    x11::movePointer(QPoint(1590, 5));
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000) {
        if (_browser.texts(QStringLiteral("refresh")).size() == before + 1)
            return true;
        QTest::qWait(20);
    }
    return false;
}

void tst_HostileInput::confirmMessageBox()
{
    // The box's button sits where it does whatever the text.
    const QRect client = x11::clientGeometry(_window);
    const QPoint page = client.bottomLeft() + QPoint(30, -30);
    const auto pageGrey = [&page] { return qRed(x11::screenshot().pixel(page)); };
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(pageGrey() - 215) <= 3, 5000);
    const ContentLayout layout(client.size());
    x11::click(client.topLeft() + layout.messageBoxButtonRect(QStringLiteral("Hello,")).center());
    QTRY_COMPARE_WITH_TIMEOUT(pageGrey(), 255, 5000);
}

void tst_HostileInput::browserKeepsAnswering_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("chunkSize");
    QTest::addColumn<bool>("opensBox");

    QTest::newRow("random bytes") << randomBytes(64 * 1024) << 64 * 1024 << false;
    const QByteArray twentyMiB = QByteArray(15 * 1024 * 1024, 'x').toBase64();
    QTest::newRow("20 MiB payload in 4 KiB writes") << "config:title:" + twentyMiB + ';' << 4096 << false;
    QTest::newRow("invalid Base64") << QByteArray("event:showBoxMessage:!!!***@@@;config:titleHeight:%%%;"
                                                  "config:windowsRect:~~~~;event:updateShareToFriend:####;")
                                    << 1024 << false;
    // What came before the NUL stays pending, so the next ";" shows "Hello,".
    const QByteArray hello = QByteArray("Hello, hostile world").toBase64();
    QTest::newRow("NUL in the middle") << "event:showBoxMessage:" + hello.left(8) + '\0' + hello.mid(8) + ';'
                                       << 1024 << true;
    QTest::newRow("separators and empty fields")
        << QByteArray(":::;;;;event;config:;iq::;webfile:getFileListRes:;\r\n\t;event:::::;") << 1024 << false;
}

void tst_HostileInput::browserKeepsAnswering()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, chunkSize);
    QFETCH(bool, opensBox);

    QElapsedTimer clock;
    clock.start();
    writeInChunks(bytes, chunkSize);
    QVERIFY2(followsNewAddress(), "a new address did not reach the server");
    qInfo("%lld bytes handled and answered after %lld ms", qint64(bytes.size()), clock.elapsed());
    if (opensBox)
        confirmMessageBox();
    QVERIFY2(takesRefreshClick(), "the refresh click sent nothing");
    QCOMPARE(_browser.process().state(), QProcess::Running);
    QCOMPARE(x11::visibleWindowsOf(_browser.pid()), QList<x11::WindowId>{_window});
}

void tst_HostileInput::positionStillReported()
{
    const QRect before = x11::clientGeometry(_window);
    x11::moveWindow(_window, before.topLeft() + QPoint(50, 30));
    QTRY_VERIFY_WITH_TIMEOUT(x11::clientGeometry(_window).topLeft() != before.topLeft(), 5000);
    const QString moved = ZuvoChatWebBroswer::positionText(x11::frameGeometry(_window), false);
    QTRY_COMPARE_WITH_TIMEOUT(_browser.lastText(QStringLiteral("savePosition")), moved, 3000);
}

void tst_HostileInput::endsCleanlyWhenLinkCloses()
{
    _browser.host().closeConnection();
    QTRY_COMPARE_WITH_TIMEOUT(_browser.process().state(), QProcess::NotRunning, 5000);
    QCOMPARE(_browser.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(_browser.process().exitCode(), 0);
}

QTEST_MAIN(tst_HostileInput)
#include "x11_hostileinput.moc"
