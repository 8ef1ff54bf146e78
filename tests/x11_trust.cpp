// Shared links are hostile: the real browser shows pages of two HTTP servers
// on two loopback addresses (the chat service's, which the host trusts, and a
// stranger's) and an HTTPS server with a self-signed certificate. Each case
// runs once without the host's rules, as every host got it so far, and once
// with them, and looks at what the servers received, what the pages saw of
// the bridge and what the title bar shows.
#include "browserrun.h"
#include "contentlayout.h"
#include "httpfixture.h"
#include "x11driver.h"
#include "zuvochatwbconfigure.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <unistd.h>

using testsupport::HttpFixture;
using testsupport::HttpRequest;

namespace {

const int timeout = 30000;
const QString accessToken = QStringLiteral("trust-token-51c2");

const HostSettings settings = {
    {QStringLiteral("windowsRect"), QStringLiteral("200,150,900,640")},
    {QStringLiteral("titleHeight"), QStringLiteral("40")},
    {QStringLiteral("titleBackgroundColor"), QStringLiteral("40,90,160,255")},
    {QStringLiteral("refreshText"), QStringLiteral("Reload")},
    {QStringLiteral("webFileText"), QStringLiteral("Downloads")},
    {QStringLiteral("accessToken"), accessToken},
};

QByteArray page(const QByteArray &body)
{
    return "<!doctype html><html><head><title>t</title></head><body>" + body + "</body></html>";
}

// Reports to its own server whether it was offered the bridge.
const QByteArray bridgeProbe = page("<script>new Image().src = '/seen?' + typeof window.zuvowebkitbridge;</script>");

int captionPixels(const QImage &shot, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = shot.pixel(x, y);
            if (qRed(pixel) > 150 && qGreen(pixel) > 150 && qBlue(pixel) > 150)
                ++count;
        }
    }
    return count;
}

// The previous page's late requests (a favicon) go to another host name.
int requestsTo(const HttpFixture &server, const QString &hostName)
{
    const QByteArray host = (hostName + QLatin1Char(':') + QString::number(server.serverPort())).toUtf8();
    return int(std::count_if(server.requests().begin(), server.requests().end(),
                             [&host](const HttpRequest &request) { return request.host == host; }));
}

QString trustList(const HttpFixture &server)
{
    return QStringLiteral("[\"%1\"]").arg(server.url(QString()).toString(QUrl::RemovePath));
}

} // namespace

class tst_Trust : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void tokenGoesOnlyWhereTrusted_data();
    void tokenGoesOnlyWhereTrusted();
    void freshBrowserConfiguredInOneBatch_data();
    void freshBrowserConfiguredInOneBatch();
    void bridgeOnlyOnTrustedPages_data();
    void bridgeOnlyOnTrustedPages();
    void titleBarNamesAnUntrustedHost();
    void strictCertificates_data();
    void strictCertificates();

    void hostOfAnotherUserGetsNoWindow();

private:
    void setRule(bool trusted);
    // Every request of a page shown in the token table: server and path.
    static QList<QPair<QString, QByteArray>> everythingOf(const QString &shownPath);
    HttpFixture &server(const QString &name) { return name == QLatin1String("chat") ? _chat : _stranger; }
    void clearRequests();
    QRect client() const { return x11::clientGeometry(_window); }

    HttpFixture _chat;
    HttpFixture _stranger;
    HttpFixture _secure;
    testsupport::SelfSignedCertificate _certificate;
    BrowserRun _browser;
    x11::WindowId _window = 0;
};

void tst_Trust::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(_chat.listenOn(QHostAddress(QStringLiteral("127.0.0.1"))));
    QVERIFY(_stranger.listenOn(QHostAddress(QStringLiteral("127.0.0.2"))));
    const QString stranger = _stranger.url(QString(), QStringLiteral("127.0.0.2")).toString(QUrl::StripTrailingSlash);
    const QString chat = _chat.url(QString()).toString(QUrl::StripTrailingSlash);

    _chat.setPage("/doc", page("<img src=\"/own.png\"><img src=\"" + stranger.toUtf8() + "/ext.png\">"));
    _chat.setRedirect("/redirect", QUrl(stranger + QStringLiteral("/landing")));
    _stranger.setPage("/aims", page("<img src=\"" + chat.toUtf8() + "/target.png\">"));
    _stranger.setPage("/landing", page("landed"));
    for (HttpFixture *server : {&_chat, &_stranger}) {
        server->setPage("/probe", bridgeProbe);
        server->setPage("/plain", page("<p style=\"font-size:40px\">plain</p>"));
        for (const char *image : {"/own.png", "/ext.png", "/target.png", "/seen"})
            server->setResponse(image, {200, "image/png", HttpFixture::pngBytes(), {}});
    }

    _certificate = testsupport::SelfSignedCertificate::generate();
    QVERIFY2(_certificate.error.isEmpty(), qPrintable(_certificate.error));
    _secure.useTls(_certificate.certificate, _certificate.key);
    QVERIFY(_secure.listenOn());
    _secure.setPage("/secure", page("<img src=\"/shown.png\">"));
    _secure.setResponse("/shown.png", {200, "image/png", HttpFixture::pngBytes(), {}});

    QVERIFY(_browser.start(timeout));
    _browser.configure(settings);
    _browser.showUrl(_chat.url(QStringLiteral("/plain")));
    _window = _browser.waitForWindow(timeout);
    QVERIFY2(_window, "the browser mapped no window");
}

QList<QPair<QString, QByteArray>> tst_Trust::everythingOf(const QString &shownPath)
{
    if (shownPath == QLatin1String("/doc"))
        return {{"chat", "/doc"}, {"chat", "/own.png"}, {"stranger", "/ext.png"}};
    if (shownPath == QLatin1String("/aims"))
        return {{"stranger", "/aims"}, {"chat", "/target.png"}};
    return {{"chat", "/redirect"}, {"stranger", "/landing"}};
}

void tst_Trust::setRule(bool trusted)
{
    // Like the token, the rule reaches the page from the next address on.
    _browser.send(QStringLiteral("config"), QStringLiteral("trustedOrigins"),
                  trusted ? trustList(_chat) : QStringLiteral("[]"));
}

void tst_Trust::clearRequests()
{
    _chat.clearRequests();
    _stranger.clearRequests();
}

void tst_Trust::tokenGoesOnlyWhereTrusted_data()
{
    QTest::addColumn<QString>("shownServer");
    QTest::addColumn<QString>("shownPath");
    QTest::addColumn<QString>("seenBy");
    QTest::addColumn<QByteArray>("seenPath");
    QTest::addColumn<bool>("carriedBefore");
    QTest::addColumn<bool>("carriedWithRule");

    QTest::newRow("trusted document") << "chat" << "/doc" << "chat" << QByteArray("/doc") << true << true;
    QTest::newRow("its trusted image") << "chat" << "/doc" << "chat" << QByteArray("/own.png") << true << true;
    QTest::newRow("its image on another host") << "chat" << "/doc" << "stranger" << QByteArray("/ext.png") << true << false;
    QTest::newRow("another host's document") << "stranger" << "/aims" << "stranger" << QByteArray("/aims") << true << false;
    QTest::newRow("untrusted page's image aimed at the trusted host")
        << "stranger" << "/aims" << "chat" << QByteArray("/target.png") << true << false;
    QTest::newRow("trusted address redirecting to another host")
        << "chat" << "/redirect" << "stranger" << QByteArray("/landing") << true << false;
}

void tst_Trust::tokenGoesOnlyWhereTrusted()
{
    QFETCH(QString, shownServer);
    QFETCH(QString, shownPath);
    QFETCH(QString, seenBy);
    QFETCH(QByteArray, seenPath);
    QFETCH(bool, carriedBefore);
    QFETCH(bool, carriedWithRule);

    const QString host = shownServer == QLatin1String("chat") ? QStringLiteral("127.0.0.1") : QStringLiteral("127.0.0.2");
    for (const bool withRule : {false, true}) {
        setRule(withRule);
        clearRequests();
        _browser.showUrl(server(shownServer).url(shownPath, host));
        // The whole page, so that none of its requests falls into the next phase.
        for (const auto &[name, path] : everythingOf(shownPath))
            QTRY_VERIFY_WITH_TIMEOUT(!server(name).requestsFor(path).isEmpty(), timeout);
        // Every request for it: a stopped redirect is loaded again, without the token.
        for (const HttpRequest &request : server(seenBy).requestsFor(seenPath)) {
            const bool carried = request.headerValues("X-Access-Token") == QList<QByteArray>{accessToken.toUtf8()};
            QVERIFY2(carried || !request.hasHeader("X-Access-Token"), "an empty or foreign token header");
            qInfo("token %s: %s", withRule ? "with trustedOrigins" : "without a rule", carried ? "sent" : "not sent");
            QCOMPARE(carried, withRule ? carriedWithRule : carriedBefore);
        }
    }
}

void tst_Trust::freshBrowserConfiguredInOneBatch_data()
{
    QTest::addColumn<QString>("shownPath");
    QTest::addColumn<QString>("seenBy");
    QTest::addColumn<QByteArray>("seenPath");
    QTest::addColumn<bool>("carried");

    QTest::newRow("its first document") << "/doc" << "chat" << QByteArray("/doc") << true;
    QTest::newRow("that document's image") << "/doc" << "chat" << QByteArray("/own.png") << true;
    QTest::newRow("its image on another host") << "/doc" << "stranger" << QByteArray("/ext.png") << false;
    QTest::newRow("first hop of a trusted redirect") << "/redirect" << "chat" << QByteArray("/redirect") << true;
    QTest::newRow("the hop after it") << "/redirect" << "stranger" << QByteArray("/landing") << false;
}

void tst_Trust::freshBrowserConfiguredInOneBatch()
{
    // Given a browser that has shown nothing yet, the way a host opens its
    // own page: token, rule and address in one batch, the first request of
    // the page being the one most likely to meet an engine not ready for it.
    QFETCH(QString, shownPath);
    QFETCH(QString, seenBy);
    QFETCH(QByteArray, seenPath);
    QFETCH(bool, carried);

    QTemporaryDir dir;
    BrowserRun fresh(BrowserRun::copyInto(dir));
    QVERIFY(fresh.start(timeout));
    clearRequests();
    fresh.send(QStringLiteral("config"), QStringLiteral("accessToken"), accessToken);
    fresh.send(QStringLiteral("config"), QStringLiteral("trustedOrigins"), trustList(_chat));
    fresh.showUrl(_chat.url(shownPath));

    for (const auto &[name, path] : everythingOf(shownPath))
        QTRY_VERIFY_WITH_TIMEOUT(!server(name).requestsFor(path).isEmpty(), timeout);
    const QList<HttpRequest> requests = server(seenBy).requestsFor(seenPath);
    QVERIFY(!requests.isEmpty());
    QCOMPARE(requests.first().headerValues("X-Access-Token") == QList<QByteArray>{accessToken.toUtf8()}, carried);
    QCOMPARE(requests.first().hasHeader("X-Access-Token"), carried);
}

void tst_Trust::bridgeOnlyOnTrustedPages_data()
{
    QTest::addColumn<bool>("withRule");
    QTest::addColumn<QString>("shownServer");
    QTest::addColumn<QByteArray>("seen");

    QTest::newRow("no rule: the shown origin gets it") << false << "stranger" << QByteArray("/seen?object");
    QTest::newRow("rule: trusted page") << true << "chat" << QByteArray("/seen?object");
    QTest::newRow("rule: untrusted page") << true << "stranger" << QByteArray("/seen?undefined");
}

void tst_Trust::bridgeOnlyOnTrustedPages()
{
    QFETCH(bool, withRule);
    QFETCH(QString, shownServer);
    QFETCH(QByteArray, seen);

    setRule(withRule);
    clearRequests();
    const QString host = shownServer == QLatin1String("chat") ? QStringLiteral("127.0.0.1") : QStringLiteral("127.0.0.2");
    _browser.showUrl(server(shownServer).url(QStringLiteral("/probe"), host));
    QTRY_VERIFY_WITH_TIMEOUT(!server(shownServer).requestsFor(seen).isEmpty(), timeout);
}

void tst_Trust::titleBarNamesAnUntrustedHost()
{
    // Given the rule, an untrusted page has its host painted in the title
    // bar's free space in the captions' colour; a trusted page has none.
    setRule(true);
    const ContentLayout layout(client().size());
    const QRect label = layout.originLabelRect().translated(client().topLeft()).adjusted(0, 2, 0, -2);
    QVERIFY2(label.width() > 200, "no free space in the title bar");
    x11::movePointer(QPoint(1590, 5));

    _stranger.clearRequests();
    _browser.showUrl(_stranger.url(QStringLiteral("/plain"), QStringLiteral("127.0.0.2")));
    QTRY_VERIFY_WITH_TIMEOUT(!_stranger.requestsFor("/plain").isEmpty(), timeout);
    QImage shot;
    QTRY_VERIFY_WITH_TIMEOUT(captionPixels(shot = x11::screenshot(), label) > 40, timeout);
    x11::keepScreenshot(shot.copy(client()), QStringLiteral("trust-untrusted-title-") + QFileInfo(BrowserRun::underTest()).fileName());
    // Nothing strays over the buttons to its left.
    const QRect buttons(client().left(), label.top(), label.left() - client().left() - 2, label.height());
    const int buttonInk = captionPixels(shot, buttons);

    _chat.clearRequests();
    _browser.showUrl(_chat.url(QStringLiteral("/plain")));
    QTRY_VERIFY_WITH_TIMEOUT(!_chat.requestsFor("/plain").isEmpty(), timeout);
    QTRY_COMPARE_WITH_TIMEOUT(captionPixels(shot = x11::screenshot(), label), 0, timeout);
    x11::keepScreenshot(shot.copy(client()), QStringLiteral("trust-trusted-title-") + QFileInfo(BrowserRun::underTest()).fileName());
    QCOMPARE(captionPixels(shot, buttons), buttonInk);
}

void tst_Trust::strictCertificates_data()
{
    QTest::addColumn<QString>("rule"); // null: none sent
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("shown");

    // The rows run in this order, in one browser: once strict, it stays
    // strict, and a certificate let through for a host before the rule came
    // is not asked about again on WebEngine, so the strict rows use another
    // host name than the first.
    const QString fingerprint = QString::fromLatin1(
        QCryptographicHash::hash(_certificate.certificate.toDer(), QCryptographicHash::Sha256).toHex());
    QTest::newRow("no rule: self-signed shown") << QString() << "127.0.0.1" << true;
    QTest::newRow("empty list: refused") << QStringLiteral("[]") << "localhost" << false;
    QTest::newRow("another fingerprint listed: refused") << "[\"" + QString(64, QLatin1Char('0')) + "\"]" << "localhost" << false;
    QTest::newRow("not an array: changes nothing") << QStringLiteral("{}") << "localhost" << false;
    QTest::newRow("its fingerprint listed: shown") << "[\"" + fingerprint + "\"]" << "localhost" << true;
}

void tst_Trust::strictCertificates()
{
    QFETCH(QString, rule);
    QFETCH(QString, host);
    QFETCH(bool, shown);

    if (!rule.isNull())
        _browser.send(QStringLiteral("config"), QStringLiteral("strictCertificates"), rule);
    _secure.clearRequests();
    const int connectionsBefore = _secure.connectionCount();
    _browser.showUrl(_secure.url(QStringLiteral("/secure"), host));
    if (shown) {
        QTRY_VERIFY_WITH_TIMEOUT(!_secure.requestsFor("/shown.png").isEmpty(), timeout);
        return;
    }
    // The refusal happens in the handshake; a page shown afterwards has
    // certainly come later.
    QTRY_VERIFY_WITH_TIMEOUT(_secure.connectionCount() > connectionsBefore, timeout);
    _chat.clearRequests();
    _browser.showUrl(_chat.url(QStringLiteral("/plain")));
    QTRY_VERIFY_WITH_TIMEOUT(!_chat.requestsFor("/plain").isEmpty(), timeout);
    QCOMPARE(requestsTo(_secure, host), 0);
    if (QTest::currentDataTag() == QLatin1String("empty list: refused")) {
        _browser.showUrl(_secure.url(QStringLiteral("/secure"), host));
        QTest::qWait(1500); // what the refused page shows, for people to look at
        x11::keepScreenshot(x11::screenshot().copy(client()),
                            QStringLiteral("trust-certificate-refused-") + QFileInfo(BrowserRun::underTest()).fileName());
        QCOMPARE(requestsTo(_secure, host), 0);
    }
}

void tst_Trust::hostOfAnotherUserGetsNoWindow()
{
    if (geteuid() != 0)
        QSKIP("only root can run a host as another user here");
    // Given a host of user nobody listening on the browser's endpoint, the
    // browser reads nothing it sends, shows no window and ends as without a host.
    QTemporaryDir dir;
    const QString browser = BrowserRun::copyInto(dir);
    QVERIFY(!browser.isEmpty());
    const QString endpoint = BrowserRun::endpointOf(browser);
    QLocalServer::removeServer(endpoint);
    QProcess host;
    host.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                           QStringLiteral("--clear-groups"), QStringLiteral(ZUVO_LINK_RELAY),
                                           QStringLiteral("--host"), endpoint, _chat.url(QStringLiteral("/plain")).toString()});
    QVERIFY(host.waitForStarted(timeout));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(endpoint), timeout);

    x11::MapWatcher watcher;
    QVERIFY(watcher.start(5000));
    QProcess process;
    process.start(browser, QStringList());
    QVERIFY(process.waitForFinished(timeout));
    QVERIFY(watcher.mark(5000));
    host.kill();
    host.waitForFinished();

    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(watcher.mappedBetweenMarks(), QStringList());
    const QString output = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(output.contains(QStringLiteral("host refused: it runs as user 65534")), qPrintable(output));
}

QTEST_MAIN(tst_Trust)
#include "x11_trust.moc"
