// The browser as a process: the endpoint it derives from its directory, the
// choice of mode from its arguments, how it ends with the host link, and
// test mode's silence towards a host that is not there.
#include "hostlink.h"
#include "httpfixture.h"
#include "testsupport.h"
#include "transport/transport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

class ProcessTest : public QObject
{
    Q_OBJECT

private slots:
    void endpointName_data();
    void endpointName();
    void endpointHashesLocalEncodedDirectory();

    void exitsWithoutHost();
    void exitsAfterHostCloses();
    void exitsAfterHostClosesWithWindowOpen_data();
    void exitsAfterHostClosesWithWindowOpen();
    void argumentsChooseMode_data();
    void argumentsChooseMode();
    void testModeWritesToNoSocket();

private:
    static QString browserEndpoint();
};

void ProcessTest::endpointName_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("expected");
    const QString suffix = QStringLiteral("-ChannelWebBroswerProcess-{87A94AB0-E370-4cde-98D3-ACC110C5967D}");
    QTest::newRow("/opt/app") << QStringLiteral("/opt/app")
                              << QStringLiteral("/tmp/8cd13b75700216788cbc2043831c737d") + suffix;
    QTest::newRow("root") << QStringLiteral("/")
                          << QStringLiteral("/tmp/") +
                                 QString::fromLatin1(QCryptographicHash::hash("/", QCryptographicHash::Md5).toHex()) +
                                 suffix;
}

void ProcessTest::endpointName()
{
    QFETCH(QString, dir);
    QFETCH(QString, expected);
    QCOMPARE(transport::serverNameFor(dir), expected);
    QVERIFY(transport::serverNameFor(dir) != transport::serverNameFor(dir + QStringLiteral("2")));
}

void ProcessTest::endpointHashesLocalEncodedDirectory()
{
    const QString dir = QStringLiteral("/opt/zuvo-ä");
    const QByteArray local = dir.toLocal8Bit();
    const QByteArray utf16(reinterpret_cast<const char *>(dir.utf16()), dir.size() * 2);
    const QString name = transport::serverNameFor(dir);
    QVERIFY(name.contains(QString::fromLatin1(QCryptographicHash::hash(local, QCryptographicHash::Md5).toHex())));
    QVERIFY(!name.contains(QString::fromLatin1(QCryptographicHash::hash(utf16, QCryptographicHash::Md5).toHex())));
}

QString ProcessTest::browserEndpoint()
{
    return transport::serverNameFor(QFileInfo(QStringLiteral(ZUVO_BROWSER_PATH)).absolutePath());
}

void ProcessTest::exitsWithoutHost()
{
    QLocalServer::removeServer(browserEndpoint());
    QProcess browser;
    QElapsedTimer clock;
    clock.start();
    browser.start(QStringLiteral(ZUVO_BROWSER_PATH), QStringList());
    QVERIFY(browser.waitForFinished(10000));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(browser.exitStatus(), QProcess::NormalExit);
    QCOMPARE(browser.exitCode(), 0);
    // The exit is deliberately half a second after the failed connection.
    QVERIFY2(elapsed >= 450, qPrintable(QString::number(elapsed)));
    QVERIFY(browser.readAllStandardError().contains("QLocalSocket::LocalSocketError e: QLocalSocket::ServerNotFoundError"));
}

void ProcessTest::exitsAfterHostCloses()
{
    HostLink host;
    QVERIFY(host.listen(browserEndpoint()));
    QProcess browser;
    browser.start(QStringLiteral(ZUVO_BROWSER_PATH), QStringList());
    QVERIFY(host.waitForConnection(10000));

    QElapsedTimer clock;
    clock.start();
    host.closeConnection();
    QVERIFY(browser.waitForFinished(10000));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(browser.exitCode(), 0);
    QVERIFY2(elapsed >= 450 && elapsed < 5000, qPrintable(QString::number(elapsed)));
    QVERIFY(browser.readAllStandardError().contains("socketDisconnected"));
}

void ProcessTest::exitsAfterHostClosesWithWindowOpen_data()
{
    QTest::addColumn<bool>("duringUserInfoWait");
    QTest::newRow("page idle") << false;
    QTest::newRow("page waiting for the user information") << true;
}

void ProcessTest::exitsAfterHostClosesWithWindowOpen()
{
    // Closing the last window would end the process at once; the link's end
    // must still take half a second, also while a page script is blocked in
    // the user-information query when the window goes away under it.
    QFETCH(bool, duringUserInfoWait);
    testsupport::HttpFixture server;
    QVERIFY(server.listenOn());
    server.setPage("/page.html", "<html><body><script>setTimeout(function () {"
                                 " document.title = 'got:' + window.zuvowebkitbridge.getCurrentUserInfo();"
                                 "}, 100);</script></body></html>");

    HostLink host;
    QVERIFY(host.listen(browserEndpoint()));
    QProcess browser;
    browser.start(QStringLiteral(ZUVO_BROWSER_PATH), QStringList());
    QVERIFY(host.waitForConnection(10000));
    host.sendText(QStringLiteral("event"), QStringLiteral("showUrl"), server.url(QStringLiteral("/page.html")).toString());
    if (duringUserInfoWait)
        QTRY_COMPARE_WITH_TIMEOUT(host.receivedCommands(QStringLiteral("currentuserinfo")).size(), 1, 10000);
    else
        QTRY_VERIFY_WITH_TIMEOUT(!host.receivedCommands(QStringLiteral("savePosition")).isEmpty(), 10000);

    QElapsedTimer clock;
    clock.start();
    host.closeConnection();
    QVERIFY(browser.waitForFinished(10000));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(browser.exitStatus(), QProcess::NormalExit);
    QCOMPARE(browser.exitCode(), 0);
    QVERIFY2(elapsed >= 450 && elapsed < 5000, qPrintable(QString::number(elapsed)));
}

void ProcessTest::argumentsChooseMode_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("connects");
    QTest::newRow("none") << QStringList{} << true;
    QTest::newRow("Test capitalised") << QStringList{"Test"} << true;
    QTest::newRow("test with two more") << QStringList{"test", "about:blank", "extra"} << true;
    QTest::newRow("other argument") << QStringList{"--verbose"} << true;
    QTest::newRow("test") << QStringList{"test"} << false;
    QTest::newRow("test with address") << QStringList{"test", "about:blank"} << false;
}

void ProcessTest::argumentsChooseMode()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, connects);

    HostLink host;
    QVERIFY(host.listen(browserEndpoint()));
    QProcess browser;
    browser.start(QStringLiteral(ZUVO_BROWSER_PATH), arguments);
    QVERIFY(browser.waitForStarted());
    // Normal mode connects at once; test mode never does, so a generous wait
    // without a connection means test mode.
    QCOMPARE(host.waitForConnection(connects ? 10000 : 2000), connects);
    if (connects) {
        host.closeConnection();
        QVERIFY(browser.waitForFinished(10000));
        QCOMPARE(browser.exitCode(), 0);
    } else {
        QCOMPARE(browser.state(), QProcess::Running);
        browser.kill();
        browser.waitForFinished();
    }
}

void ProcessTest::testModeWritesToNoSocket()
{
    // The window's position report is the first thing it sends.
    QProcess browser;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zuvo.link.io.debug=true"));
    browser.setProcessEnvironment(environment);
    browser.start(QStringLiteral(ZUVO_BROWSER_PATH), {QStringLiteral("test"), QStringLiteral("about:blank")});
    QByteArray errors;
    const auto errorsSoFar = [&] { return errors += browser.readAllStandardError(); };
    QTRY_VERIFY_WITH_TIMEOUT(errorsSoFar().contains("no link, not sent: feedback:savePosition"), 15000);
    QVERIFY2(!errors.contains("QIODevice::write"), errors.constData());
    browser.kill();
    browser.waitForFinished();
}

QTEST_MAIN(ProcessTest)
#include "tst_process.moc"
