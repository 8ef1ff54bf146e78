#include "httpfixture.h"
#include "testsupport.h"
#include "userinforelay.h"

#include "hostlink.h"
#include "zuvobridgepolicy.h"
#include "zuvochatwebkitview.h"
#include "zuvojsbridge.h"
#include "zuvowebkitnetworkmanager.h"
#include "zuvowebkitpage.h"
#include "zwProtoc.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QSslSocket>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebHistory>
#include <QWebPluginFactory>
#include <QWebSettings>
#include <QtTest>

#include <functional>

using testsupport::HttpFixture;
using testsupport::HttpRequest;

namespace iq = zuvo_web_protoc::zuvo_web_protoc_5_iq;

class ZuvoChatWebKitView;
using Navigate = std::function<void(ZuvoChatWebKitView &, const QUrl &)>;
using ReplyMaker = std::function<QByteArray(const QString &key)>;
Q_DECLARE_METATYPE(Navigate)
Q_DECLARE_METATYPE(ReplyMaker)

namespace {

const QString bridgeName = QStringLiteral("zuvowebkitbridge");
const int loadTimeoutMs = 15000;

// What the content widget assembles: a view showing a page that goes
// through the token-adding manager.
struct Browser {
    ZuvoChatWebKitView view{nullptr};
    ZuvoWebKitPage *page = new ZuvoWebKitPage(&view);
    ZuvoWebKitNetworkManager *manager = new ZuvoWebKitNetworkManager(&view);

    Browser()
    {
        page->setNetworkAccessManager(manager);
        view.setPage(page);
        view.resize(800, 600);
    }
    QWebFrame *frame() const { return page->mainFrame(); }
};

// The view as a page's engine sees it.
class ProbedView : public ZuvoChatWebKitView
{
public:
    using ZuvoChatWebKitView::ZuvoChatWebKitView;
    using ZuvoChatWebKitView::createWindow;
};

QByteArray titledPage(const QByteArray &title)
{
    return "<html><head><title>" + title + "</title></head><body>" + title + "</body></html>";
}

bool waitForLoad(QWebPage *page, const std::function<void()> &start)
{
    QSignalSpy finished(page, &QWebPage::loadFinished);
    start();
    if (!finished.wait(loadTimeoutMs))
        return false;
    return finished.takeLast().value(0).toBool();
}

bool loadIn(ZuvoChatWebKitView &view, const QUrl &url)
{
    return waitForLoad(view.page(), [&] { view.load(url); });
}

QString evaluate(QWebFrame *frame, const QString &script)
{
    return frame->evaluateJavaScript(script).toString();
}

bool hasBridge(QWebFrame *frame)
{
    return evaluate(frame, QStringLiteral("typeof window.zuvowebkitbridge")) == QLatin1String("object");
}

QMenu *openContextMenu(QWidget *view)
{
    const QPoint pos(20, 20);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, view->mapToGlobal(pos));
    QApplication::sendEvent(view, &event);
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

QStringList actionTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts << action->text();
    return texts;
}

QStringList urlTexts(const QList<QUrl> &urls)
{
    QStringList texts;
    for (const QUrl &url : urls)
        texts << url.toString();
    return texts;
}

QByteArray replyJson(const QString &key, const QJsonValue &info)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("key"), key}, {QStringLiteral("info"), info}})
        .toJson(QJsonDocument::Compact);
}

// Counts whether a page ever asked for a plug-in of the probe type.
class ProbePluginFactory : public QWebPluginFactory
{
public:
    using QWebPluginFactory::QWebPluginFactory;

    QList<Plugin> plugins() const override
    {
        MimeType mimeType;
        mimeType.name = QStringLiteral("application/x-zuvo-probe");
        mimeType.fileExtensions = QStringList{QStringLiteral("zprobe")};
        Plugin plugin;
        plugin.name = QStringLiteral("probe");
        plugin.mimeTypes = {mimeType};
        return {plugin};
    }

    QObject *create(const QString &, const QUrl &, const QStringList &,
                    const QStringList &) const override
    {
        ++created;
        return new QWidget;
    }

    mutable int created = 0;
};

// A host on a real local socket that answers user-information queries as
// the test says, and the relay that plays the window's part.
class UserInfoHarness
{
public:
    // Replies for one query id; empty means no answer.
    using Answer = std::function<QList<QByteArray>(const QString &requestId)>;

    explicit UserInfoHarness(ZuvoJsBridge *bridge)
        : _relay(bridge, [bridge](const QByteArray &json) { bridge->onCurrentUserInfo(json); })
    {
        QObject::connect(&_host, &HostLink::messageReceived, [this](const HostLink::Message &message) {
            if (message.group != iq::prefix || message.command != iq::_10_currentUserInfo)
                return;
            _queryIds << message.text();
            for (const QByteArray &reply : _answer(message.text()))
                reply_(reply);
        });
    }

    bool start()
    {
        return _host.listen(testsupport::uniqueServerName(QStringLiteral("webcontent"))) &&
               _relay.connectTo(_host.serverName()) && _host.waitForConnection(5000);
    }

    void setAnswer(Answer answer) { _answer = std::move(answer); }
    void reply_(const QByteArray &json) { _host.send(iq::prefix, iq::_11_currentUserInfo, json); }
    const QStringList &queryIds() const { return _queryIds; }

private:
    HostLink _host;
    testsupport::UserInfoRelay _relay;
    Answer _answer = [](const QString &) { return QList<QByteArray>(); };
    QStringList _queryIds;
};

// A page whose script talks to the bridge.
struct BridgePage {
    ZuvoJsBridge bridge;
    ZuvoWebKitPage page{nullptr};
    UserInfoHarness host{&bridge};

    BridgePage() { page.mainFrame()->addToJavaScriptWindowObject(bridgeName, &bridge); }
    QString askUserInfo()
    {
        return evaluate(page.mainFrame(), QStringLiteral("window.zuvowebkitbridge.getCurrentUserInfo()"));
    }
};

// Measures one getCurrentUserInfo call from script, with a timer beating
// meanwhile to show that the thread kept running events.
struct TimedCall {
    QString result;
    qint64 elapsedMs = 0;
    int ticks = 0;
};

TimedCall timedUserInfoCall(BridgePage &fixture)
{
    TimedCall call;
    QTimer beat;
    beat.setInterval(10);
    QObject::connect(&beat, &QTimer::timeout, [&call] { ++call.ticks; });
    beat.start();
    QElapsedTimer clock;
    clock.start();
    call.result = fixture.askUserInfo();
    call.elapsedMs = clock.elapsed();
    return call;
}

} // namespace

class tst_WebContent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    // Network access manager
    void accessTokenOnEveryRequest_data();
    void accessTokenOnEveryRequest();
    void changedTokenReachesOnlyLaterRequests();
    void selfSignedCertificateLoadsWithoutPrompt();

    // View and page
    void newWindowLinkLoadsInSameViewAndBackReturns();
    void modalDialogGetsNoWindow();
    void freshViewOffersNoMenu();
    void savedHistoryKeepsThirtyOldest();
    void navigationFromOutsideForgetsSavedAddresses_data();
    void navigationFromOutsideForgetsSavedAddresses();
    void savedAddressesServeOneStepBack();
    void pluginsStayOff_data();
    void pluginsStayOff();

    // Bridge
    void emptyTextsEmitNothing_data();
    void emptyTextsEmitNothing();
    void userInfoReply_data();
    void userInfoReply();
    void timedOutRequestIgnoresLateReply();
    void repeatedReplyDoesNotEndNextRequest();
    void secondCallDuringWaitReturnsEmptyAtOnce();
    void bridgeDeletedDuringWaitEndsTheCall();

    // Bridge origin policy
    void bridgeFollowsAllowedOrigin();
    void redirectOfRequestedAddressIsAllowedOnce();
    void newAddressDuringLoadStillAllowsItsRedirect();
    void allowOriginOffersToCurrentDocumentAtOnce();
    void allowOriginReplacesEarlierOrigins();

private:
    HttpFixture _server;
    HttpFixture _farServer;
    HttpFixture _tlsServer;
};

void tst_WebContent::initTestCase()
{
    QVERIFY(_server.listenOn());
    QVERIFY(_farServer.listenOn());

    _server.setResponse("/pic.png", {200, "image/png", HttpFixture::pngBytes(), {}});
    _server.setPage("/token.html",
                    "<html><body><img id='pic' src='" +
                        _server.url(QStringLiteral("/pic.png"), QStringLiteral("localhost")).toEncoded() +
                        "'><script>var x = new XMLHttpRequest(); x.open('POST', '/api');"
                        " x.send('payload');</script></body></html>");
    _server.setResponse("/api", {200, "text/plain", "ok", {}});
    _server.setPage("/plain.html", titledPage("plain"));
    _server.setPage("/opener.html",
                    "<html><head><title>opener</title></head><body style='margin:0'>"
                    "<a id='blank' href='/opened.html' target='_blank'"
                    " style='display:block;width:200px;height:100px'>open</a></body></html>");
    _server.setPage("/opened.html", titledPage("opened"));
    _server.setPage("/modal.html",
                    "<html><head><title>modal</title></head><body style='margin:0'>"
                    "<button id='modal' style='width:200px;height:100px'"
                    " onclick=\"window.showModalDialog('/opened.html'); document.title = 'returned';\">"
                    "dialog</button></body></html>");
    _server.setPage("/probe.html",
                    "<html><body><object type='application/x-zuvo-probe' width='20' height='20'>"
                    "</object></body></html>");
    _server.setPage("/a.html",
                    "<html><head><title>a</title></head><body><iframe id='child' src='/frame.html'>"
                    "</iframe></body></html>");
    _server.setPage("/b.html", titledPage("b"));
    _server.setPage("/frame.html", "<html><body>child frame</body></html>");
    _server.setPage("/c.html", titledPage("c"));
    _server.setPage("/landing.html", titledPage("landing"));
    _server.setRedirect("/redirect", _server.url(QStringLiteral("/landing.html"), QStringLiteral("localhost")));
    _server.setResponse("/slow.html", {200, "text/html", titledPage("slow"), {}, 3000});
    _server.setRedirect("/hop", _farServer.url(QStringLiteral("/far.html")));
    _farServer.setPage("/far.html", titledPage("far"));

    QVERIFY2(QSslSocket::supportsSsl(), "Qt was built without a usable TLS library");
    const auto generated = testsupport::SelfSignedCertificate::generate();
    QVERIFY2(generated.error.isEmpty(), qPrintable(generated.error));
    _tlsServer.useTls(generated.certificate, generated.key);
    QVERIFY(_tlsServer.listenOn());
    _tlsServer.setPage("/secure.html", titledPage("secure"));
}

void tst_WebContent::init()
{
    _server.clearRequests();
    _farServer.clearRequests();
    _tlsServer.clearRequests();
}

void tst_WebContent::accessTokenOnEveryRequest_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("sent"); // empty: no header at all
    QTest::newRow("non-ASCII token") << QStringLiteral("tök€n-令牌-42") << QStringLiteral("tök€n-令牌-42");
    QTest::newRow("empty token") << QString() << QString();
    // A token that a header value cannot hold is not sent at all, and the
    // host cannot smuggle a header of its own into the page's requests.
    QTest::newRow("line break injects no header") << QStringLiteral("tok\r\nX-Injected: yes") << QString();
    QTest::newRow("a thousand lines") << QStringLiteral("line-of-token\n").repeated(1000) << QString();
    QTest::newRow("NUL inside") << QStringLiteral("tok") + QChar(0) + QStringLiteral("en") << QString();
    QTest::newRow("tab and DEL") << QStringLiteral("a\tb\x7f") << QString();
}

void tst_WebContent::accessTokenOnEveryRequest()
{
    QFETCH(QString, token);
    QFETCH(QString, sent);
    Browser browser;
    browser.manager->setAccessToken(token);

    QVERIFY(loadIn(browser.view, _server.url(QStringLiteral("/token.html"))));
    QTRY_VERIFY(!_server.requestsFor("/api").isEmpty() && !_server.requestsFor("/pic.png").isEmpty());

    const HttpRequest page = _server.requestsFor("/token.html").value(0);
    const HttpRequest image = _server.requestsFor("/pic.png").value(0);
    const HttpRequest post = _server.requestsFor("/api").value(0);
    QCOMPARE(image.host, "localhost:" + QByteArray::number(_server.serverPort()));
    QCOMPARE(post.method, QByteArray("POST"));
    QCOMPARE(post.body, QByteArray("payload"));
    for (const HttpRequest &request : {page, image, post}) {
        QVERIFY2(!request.hasHeader("X-Injected"), request.path.constData());
        const QList<QByteArray> values = request.headerValues("X-Access-Token");
        if (sent.isEmpty())
            QVERIFY2(values.isEmpty(), request.path.constData());
        else
            QCOMPARE(values, QList<QByteArray>{sent.toUtf8()});
    }
}

void tst_WebContent::changedTokenReachesOnlyLaterRequests()
{
    Browser browser;
    browser.manager->setAccessToken(QStringLiteral("first"));
    QVERIFY(loadIn(browser.view, _server.url(QStringLiteral("/plain.html"))));

    browser.manager->setAccessToken(QStringLiteral("second"));
    QVERIFY(loadIn(browser.view, _server.url(QStringLiteral("/b.html"))));

    QCOMPARE(_server.requestsFor("/plain.html").value(0).headerValues("X-Access-Token"),
             QList<QByteArray>{"first"});
    QCOMPARE(_server.requestsFor("/b.html").value(0).headerValues("X-Access-Token"),
             QList<QByteArray>{"second"});
}

void tst_WebContent::selfSignedCertificateLoadsWithoutPrompt()
{
    const QUrl secure = _tlsServer.url(QStringLiteral("/secure.html"), QStringLiteral("localhost"));

    // Without the manager the same certificate stops the load, so the pass
    // below is the manager's doing.
    QWebPage strictPage;
    QVERIFY(!waitForLoad(&strictPage, [&] { strictPage.mainFrame()->load(secure); }));

    Browser browser;
    const QWidgetList windowsBefore = QApplication::topLevelWidgets();
    QVERIFY(loadIn(browser.view, secure));
    QCOMPARE(browser.frame()->title(), QStringLiteral("secure"));
    QCOMPARE(QApplication::topLevelWidgets(), windowsBefore); // no dialog came up
}

void tst_WebContent::newWindowLinkLoadsInSameViewAndBackReturns()
{
    // Given a page whose link targets a new window, clicked by the user.
    Browser browser;
    browser.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser.view));
    const QUrl opener = _server.url(QStringLiteral("/opener.html"));
    QVERIFY(loadIn(browser.view, opener));
    const QPoint linkCentre = browser.frame()->findFirstElement(QStringLiteral("#blank")).geometry().center();
    const QWidgetList windowsBefore = QApplication::topLevelWidgets();

    QVERIFY(waitForLoad(browser.page, [&] {
        QTest::mouseClick(&browser.view, Qt::LeftButton, Qt::NoModifier, linkCentre);
    }));

    // Then the opened page replaces it in the same view.
    QCOMPARE(browser.frame()->title(), QStringLiteral("opened"));
    QCOMPARE(QApplication::topLevelWidgets(), windowsBefore);
    QCOMPARE(urlTexts(browser.view.savedHistory()), QStringList{opener.toString()});

    // And the menu offers "back", which returns to the first page.
    QPointer<QMenu> menu = openContextMenu(&browser.view);
    QVERIFY(menu);
    QCOMPARE(actionTexts(menu), QStringList{QStringLiteral("back")});
    QVERIFY(waitForLoad(browser.page, [&] {
        menu->actions().constFirst()->trigger();
        menu->close();
    }));
    QCOMPARE(browser.frame()->title(), QStringLiteral("opener"));
    QTRY_VERIFY(!menu); // the closed menu deletes itself
}

void tst_WebContent::modalDialogGetsNoWindow()
{
    // Given a page whose button asks for a modal dialog, pressed by the user.
    Browser browser;
    browser.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser.view));
    QVERIFY(loadIn(browser.view, _server.url(QStringLiteral("/modal.html"))));
    const QPoint buttonCentre = browser.frame()->findFirstElement(QStringLiteral("#modal")).geometry().center();
    const QWidgetList windowsBefore = QApplication::topLevelWidgets();

    QTest::mouseClick(&browser.view, Qt::LeftButton, Qt::NoModifier, buttonCentre);

    // Then the call returns at once without a window, and the page stays.
    QTRY_COMPARE(browser.frame()->title(), QStringLiteral("returned"));
    QCOMPARE(QApplication::topLevelWidgets(), windowsBefore);
    QCOMPARE(browser.frame()->url(), _server.url(QStringLiteral("/modal.html")));
    QVERIFY(browser.view.savedHistory().isEmpty());
    QVERIFY(_server.requestsFor("/opened.html").isEmpty());

    ProbedView view(nullptr);
    QCOMPARE(view.createWindow(QWebPage::WebModalDialog), nullptr);
    QCOMPARE(view.createWindow(QWebPage::WebBrowserWindow), &view);
}

void tst_WebContent::freshViewOffersNoMenu()
{
    Browser browser;
    browser.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser.view));
    QCOMPARE(openContextMenu(&browser.view), nullptr);

    // One page shown still leaves nowhere to go back to.
    QVERIFY(loadIn(browser.view, _server.url(QStringLiteral("/plain.html"))));
    QCOMPARE(openContextMenu(&browser.view), nullptr);
}

void tst_WebContent::savedHistoryKeepsThirtyOldest()
{
    Browser browser;
    const QUrl base = _server.url(QStringLiteral("/plain.html"));
    QVERIFY(loadIn(browser.view, base));
    browser.frame()->evaluateJavaScript(QStringLiteral("for (var i = 1; i < 40; ++i) location.hash = 'item' + i;"));
    QTRY_COMPARE(browser.view.history()->count(), 40);
    QCOMPARE(browser.view.history()->currentItemIndex(), 39);

    browser.view.storeHistory();

    QStringList expected;
    for (int index = 29; index >= 0; --index)
        expected << browser.view.history()->itemAt(index).url().toString();
    QCOMPARE(urlTexts(browser.view.savedHistory()), expected);
    QVERIFY(expected.constFirst().endsWith(QLatin1String("#item29")));
}

void tst_WebContent::navigationFromOutsideForgetsSavedAddresses_data()
{
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<Navigate>("navigate");

    QTest::newRow("load address") << QStringLiteral("ZuvoChatWebKitView::load 1")
                                  << Navigate([](ZuvoChatWebKitView &v, const QUrl &u) { v.load(u); });
    QTest::newRow("load request") << QStringLiteral("ZuvoChatWebKitView::load 2")
                                  << Navigate([](ZuvoChatWebKitView &v, const QUrl &u) {
                                         v.load(QNetworkRequest(u));
                                     });
    QTest::newRow("setUrl") << QString()
                            << Navigate([](ZuvoChatWebKitView &v, const QUrl &u) { v.setUrl(u); });
    QTest::newRow("setHtml") << QStringLiteral("ZuvoChatWebKitView::setHtml")
                             << Navigate([](ZuvoChatWebKitView &v, const QUrl &u) {
                                    v.setHtml(QStringLiteral("<p>html</p>"), u);
                                });
    QTest::newRow("setContent") << QStringLiteral("ZuvoChatWebKitView::setContent")
                                << Navigate([](ZuvoChatWebKitView &v, const QUrl &u) {
                                       v.setContent("<p>content</p>", QStringLiteral("text/html"), u);
                                   });
    QTest::newRow("setPage") << QStringLiteral("ZuvoChatWebKitView::setPage")
                             << Navigate([](ZuvoChatWebKitView &v, const QUrl &) {
                                    v.setPage(new ZuvoWebKitPage(&v));
                                });
}

void tst_WebContent::navigationFromOutsideForgetsSavedAddresses()
{
    QFETCH(QString, logLine);
    QFETCH(Navigate, navigate);
    Browser browser;
    QVERIFY(loadIn(browser.view, _server.url(QStringLiteral("/plain.html"))));
    browser.view.storeHistory();
    QCOMPARE(browser.view.savedHistory().size(), 1);

    if (!logLine.isEmpty())
        QTest::ignoreMessage(QtDebugMsg, qPrintable(logLine));
    navigate(browser.view, _server.url(QStringLiteral("/b.html")));

    QVERIFY(browser.view.savedHistory().isEmpty());
}

void tst_WebContent::savedAddressesServeOneStepBack()
{
    // Given saved addresses but nothing in the view's own history to go back to.
    Browser browser;
    const QUrl first = _server.url(QStringLiteral("/plain.html"));
    const QUrl second = _server.url(QStringLiteral("/b.html"));
    QVERIFY(loadIn(browser.view, first));
    QVERIFY(waitForLoad(browser.page, [&] {
        browser.frame()->evaluateJavaScript(QStringLiteral("location.href = '%1'").arg(second.toString()));
    }));
    browser.view.storeHistory();
    browser.view.history()->clear();
    QVERIFY(!browser.view.history()->canGoBack());
    QCOMPARE(urlTexts(browser.view.savedHistory()), urlTexts({second, first}));

    // When "back" is chosen, the head of the saved list is shown and the rest forgotten.
    QVERIFY(waitForLoad(browser.page, [&] { browser.view.onClickBack(); }));
    QCOMPARE(browser.frame()->url(), second);
    QVERIFY(browser.view.savedHistory().isEmpty());

    // Then "back" is offered again only if the view's own history allows it.
    browser.view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser.view));
    QMenu *menu = openContextMenu(&browser.view);
    QCOMPARE(menu != nullptr, browser.view.history()->canGoBack());
    if (menu)
        menu->close();
}

void tst_WebContent::pluginsStayOff_data()
{
    QTest::addColumn<bool>("hardenedPage");
    QTest::addColumn<int>("expectedPlugins");
    QTest::addColumn<bool>("expectedJava");
    QTest::newRow("browser page") << true << 0 << false;
    // Shows that the probe notices a page that may start plug-ins.
    QTest::newRow("plain page") << false << 1 << true;
}

void tst_WebContent::pluginsStayOff()
{
    QFETCH(bool, hardenedPage);
    QFETCH(int, expectedPlugins);
    QFETCH(bool, expectedJava);
    // Given an application whose defaults allow plug-ins and Java.
    QWebSettings *global = QWebSettings::globalSettings();
    global->setAttribute(QWebSettings::PluginsEnabled, true);
    global->setAttribute(QWebSettings::JavaEnabled, true);
    auto restoreDefaults = qScopeGuard([global] {
        global->resetAttribute(QWebSettings::PluginsEnabled);
        global->resetAttribute(QWebSettings::JavaEnabled);
    });
    Browser browser;
    if (!hardenedPage)
        browser.view.setPage(new QWebPage(&browser.view));
    QWebPage *page = browser.view.page();
    page->setNetworkAccessManager(browser.manager);
    ProbePluginFactory factory;
    page->setPluginFactory(&factory);

    QVERIFY(waitForLoad(page, [&] { page->mainFrame()->load(_server.url(QStringLiteral("/probe.html"))); }));

    QTRY_COMPARE(factory.created, expectedPlugins);
    QCOMPARE(page->mainFrame()->evaluateJavaScript(QStringLiteral("navigator.javaEnabled()")).toBool(), expectedJava);
    QCOMPARE(page->mainFrame()->evaluateJavaScript(QStringLiteral("6 * 7")).toInt(), 42);
    page->setPluginFactory(nullptr);
}

void tst_WebContent::emptyTextsEmitNothing_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("logs");
    QTest::addColumn<int>("messages");
    QTest::newRow("log with text") << "postLog" << "written" << 1 << 0;
    QTest::newRow("empty log") << "postLog" << "" << 0 << 0;
    QTest::newRow("message with text") << "postMessage" << "{\"action\":\"x\"}" << 0 << 1;
    QTest::newRow("empty message") << "postMessage" << "" << 0 << 0;
}

void tst_WebContent::emptyTextsEmitNothing()
{
    QFETCH(QString, call);
    QFETCH(QString, text);
    QFETCH(int, logs);
    QFETCH(int, messages);
    BridgePage fixture;
    QSignalSpy logSpy(&fixture.bridge, &ZuvoJsBridge::receiveLog);
    QSignalSpy messageSpy(&fixture.bridge, &ZuvoJsBridge::getWebMessage);

    const QVariant result = fixture.page.mainFrame()->evaluateJavaScript(
        QStringLiteral("window.zuvowebkitbridge.%1('%2')").arg(call, text));

    QCOMPARE(logSpy.size(), logs);
    QCOMPARE(messageSpy.size(), messages);
    if (logs)
        QCOMPARE(logSpy.value(0).value(0).toString(), text);
    if (messages)
        QCOMPARE(messageSpy.value(0).value(0).toString(), text);
    if (call == QLatin1String("postMessage"))
        QCOMPARE(result, QVariant(true));
}

void tst_WebContent::userInfoReply_data()
{
    QTest::addColumn<ReplyMaker>("reply");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("accepted");
    using Reply = ReplyMaker;

    QTest::newRow("answered at once")
        << Reply([](const QString &key) { return replyJson(key, QStringLiteral("{\"name\":\"Zoë\"}")); })
        << QStringLiteral("{\"name\":\"Zoë\"}") << true;
    QTest::newRow("info is an object")
        << Reply([](const QString &key) { return replyJson(key, QJsonObject{{"name", "Zoë"}}); })
        << QString() << true;
    QTest::newRow("wrong key")
        << Reply([](const QString &) { return replyJson(QString(32, QLatin1Char('0')), QStringLiteral("x")); })
        << QString() << false;
    QTest::newRow("malformed JSON")
        << Reply([](const QString &key) { return QByteArray("{\"key\":\"") + key.toLatin1() + "\",\"info\":"; })
        << QString() << false;
}

void tst_WebContent::userInfoReply()
{
    QFETCH(ReplyMaker, reply);
    QFETCH(QString, expected);
    QFETCH(bool, accepted);
    BridgePage fixture;
    QVERIFY(fixture.host.start());
    fixture.host.setAnswer([reply](const QString &id) { return QList<QByteArray>{reply(id)}; });

    const TimedCall call = timedUserInfoCall(fixture);

    QCOMPARE(call.result, expected);
    QCOMPARE(fixture.host.queryIds().size(), 1);
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(fixture.host.queryIds().constFirst()).hasMatch());
    if (accepted) {
        QVERIFY2(call.elapsedMs < 2000, qPrintable(QString::number(call.elapsedMs)));
    } else {
        // An ignored reply leaves the call to run out its time of about three
        // seconds, with the thread's events running meanwhile.
        QVERIFY2(call.elapsedMs >= 2500 && call.elapsedMs < 20000, qPrintable(QString::number(call.elapsedMs)));
        QVERIFY2(call.ticks >= 100, qPrintable(QString::number(call.ticks)));
    }
}

void tst_WebContent::timedOutRequestIgnoresLateReply()
{
    // Given a host that stays silent for the first query.
    BridgePage fixture;
    QVERIFY(fixture.host.start());
    const TimedCall silent = timedUserInfoCall(fixture);
    QCOMPARE(silent.result, QString());
    QVERIFY2(silent.elapsedMs >= 2500 && silent.elapsedMs < 20000, qPrintable(QString::number(silent.elapsedMs)));
    QVERIFY2(silent.ticks >= 100, qPrintable(QString::number(silent.ticks)));
    const QString firstId = fixture.host.queryIds().value(0);

    // When it answers that query late, while idle and again during the next one.
    fixture.host.reply_(replyJson(firstId, QStringLiteral("stale")));
    QTest::qWait(50); // let the late reply be read while nothing waits
    fixture.host.setAnswer([firstId](const QString &id) {
        return QList<QByteArray>{replyJson(firstId, QStringLiteral("stale")),
                                 replyJson(id, QStringLiteral("fresh"))};
    });

    // Then only the answer to the waiting query counts.
    QCOMPARE(fixture.askUserInfo(), QStringLiteral("fresh"));
    QCOMPARE(fixture.host.queryIds().size(), 2);
    QVERIFY(fixture.host.queryIds().at(1) != firstId);
}

void tst_WebContent::repeatedReplyDoesNotEndNextRequest()
{
    // A host that answers a query twice in one write.
    BridgePage fixture;
    QVERIFY(fixture.host.start());
    fixture.host.setAnswer([](const QString &id) {
        return QList<QByteArray>{replyJson(id, QStringLiteral("one")), replyJson(id, QStringLiteral("two"))};
    });
    QCOMPARE(fixture.askUserInfo(), QStringLiteral("one"));

    // The next query must wait for its own answer instead of ending at once
    // on what the repeat left behind.
    fixture.host.setAnswer([&fixture](const QString &id) {
        QTimer::singleShot(100, [&fixture, id] { fixture.host.reply_(replyJson(id, QStringLiteral("three"))); });
        return QList<QByteArray>();
    });
    QCOMPARE(fixture.askUserInfo(), QStringLiteral("three"));
}

void tst_WebContent::secondCallDuringWaitReturnsEmptyAtOnce()
{
    // Given a host that answers half a second after being asked.
    BridgePage fixture;
    QVERIFY(fixture.host.start());
    bool answered = false;
    fixture.host.setAnswer([&](const QString &id) {
        QTimer::singleShot(500, [&, id] {
            answered = true;
            fixture.host.reply_(replyJson(id, QStringLiteral("outer")));
        });
        return QList<QByteArray>();
    });

    // When a second call comes in while the first one waits.
    QString inner = QStringLiteral("not called");
    bool innerEndedBeforeAnswer = false;
    QTimer::singleShot(50, [&] {
        inner = fixture.askUserInfo();
        innerEndedBeforeAnswer = !answered;
    });

    // Then it ends at once with nothing and asks the host nothing.
    QCOMPARE(fixture.askUserInfo(), QStringLiteral("outer"));
    QCOMPARE(inner, QString());
    QVERIFY(innerEndedBeforeAnswer);
    QCOMPARE(fixture.host.queryIds().size(), 1);
}

void tst_WebContent::bridgeDeletedDuringWaitEndsTheCall()
{
    // The window, and the bridge with it, can go while a script waits: the
    // host link ending destroys the window from inside the wait.
    ZuvoWebKitPage page(nullptr);
    auto *bridge = new ZuvoJsBridge;
    page.mainFrame()->addToJavaScriptWindowObject(bridgeName, bridge);
    QTimer::singleShot(100, [bridge] { delete bridge; });

    QElapsedTimer clock;
    clock.start();
    const QString result = evaluate(page.mainFrame(), QStringLiteral("window.zuvowebkitbridge.getCurrentUserInfo()"));

    QCOMPARE(result, QString());
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
}

void tst_WebContent::bridgeFollowsAllowedOrigin()
{
    Browser browser;
    ZuvoJsBridge bridge;
    ZuvoBridgeOriginPolicy policy(browser.page, &bridge, bridgeName);
    const QUrl start = _server.url(QStringLiteral("/a.html"));

    policy.allowOrigin(start);
    QVERIFY(loadIn(browser.view, start));
    QVERIFY(hasBridge(browser.frame()));
    QCOMPARE(browser.frame()->childFrames().size(), 1);
    QVERIFY(!hasBridge(browser.frame()->childFrames().constFirst()));

    QVERIFY(waitForLoad(browser.page, [&] { browser.view.reload(); }));
    QVERIFY(hasBridge(browser.frame()));

    QVERIFY(waitForLoad(browser.page, [&] {
        browser.frame()->evaluateJavaScript(QStringLiteral("location.href = '/b.html'"));
    }));
    QCOMPARE(browser.frame()->title(), QStringLiteral("b"));
    QVERIFY(hasBridge(browser.frame()));

    const QUrl foreign = _server.url(QStringLiteral("/c.html"), QStringLiteral("localhost"));
    QVERIFY(waitForLoad(browser.page, [&] {
        browser.frame()->evaluateJavaScript(QStringLiteral("location.href = '%1'").arg(foreign.toString()));
    }));
    QCOMPARE(browser.frame()->title(), QStringLiteral("c"));
    QVERIFY(!hasBridge(browser.frame()));

    QVERIFY(waitForLoad(browser.page, [&] { browser.view.back(); }));
    QCOMPARE(browser.frame()->title(), QStringLiteral("b"));
    QVERIFY(hasBridge(browser.frame()));
}

void tst_WebContent::redirectOfRequestedAddressIsAllowedOnce()
{
    // Given an address the host asked for that redirects to another origin,
    // shown without any script having run in it.
    Browser browser;
    ZuvoJsBridge bridge;
    ZuvoBridgeOriginPolicy policy(browser.page, &bridge, bridgeName);
    const QUrl requested = _server.url(QStringLiteral("/redirect"));
    policy.allowOrigin(requested);
    QVERIFY(loadIn(browser.view, requested));
    QCOMPARE(browser.frame()->title(), QStringLiteral("landing"));

    // When the user then follows a link to a second redirect of the allowed
    // origin, the page it leads to gets no bridge: only the first load counts.
    QVERIFY(loadIn(browser.view, _server.url(QStringLiteral("/hop"))));
    QCOMPARE(browser.frame()->title(), QStringLiteral("far"));
    QVERIFY(!hasBridge(browser.frame()));

    // While the page the requested address ended at has it.
    QVERIFY(waitForLoad(browser.page, [&] { browser.view.back(); }));
    QCOMPARE(browser.frame()->title(), QStringLiteral("landing"));
    QVERIFY(hasBridge(browser.frame()));
}

void tst_WebContent::newAddressDuringLoadStillAllowsItsRedirect()
{
    // Given a first address whose load is still under way.
    Browser browser;
    ZuvoJsBridge bridge;
    ZuvoBridgeOriginPolicy policy(browser.page, &bridge, bridgeName);
    const QUrl slow = _server.url(QStringLiteral("/slow.html"));
    policy.allowOrigin(slow);
    browser.view.load(slow);
    QTRY_COMPARE(_server.requestsFor("/slow.html").size(), 1);

    // When the host sends an address that redirects, cancelling the first load.
    const QUrl requested = _server.url(QStringLiteral("/redirect"));
    policy.allowOrigin(requested);
    QVERIFY(loadIn(browser.view, requested));

    // Then the cancelled load does not take the place of the new one.
    QCOMPARE(browser.frame()->title(), QStringLiteral("landing"));
    QVERIFY(hasBridge(browser.frame()));
}

void tst_WebContent::allowOriginOffersToCurrentDocumentAtOnce()
{
    Browser browser;
    ZuvoJsBridge bridge;
    ZuvoBridgeOriginPolicy policy(browser.page, &bridge, bridgeName);
    const QUrl shown = _server.url(QStringLiteral("/plain.html"));
    QVERIFY(loadIn(browser.view, shown));
    QVERIFY(!hasBridge(browser.frame()));

    policy.allowOrigin(shown);

    QVERIFY(hasBridge(browser.frame()));
}

void tst_WebContent::allowOriginReplacesEarlierOrigins()
{
    Browser browser;
    ZuvoJsBridge bridge;
    ZuvoBridgeOriginPolicy policy(browser.page, &bridge, bridgeName);
    const QUrl first = _server.url(QStringLiteral("/b.html"));
    const QUrl second = _server.url(QStringLiteral("/c.html"), QStringLiteral("localhost"));

    policy.allowOrigin(first);
    QVERIFY(loadIn(browser.view, first));
    policy.allowOrigin(second);
    QVERIFY(loadIn(browser.view, second));
    QVERIFY(hasBridge(browser.frame()));

    // The view's history leads back to the first origin, which is no longer allowed.
    QVERIFY(waitForLoad(browser.page, [&] { browser.view.back(); }));
    QCOMPARE(browser.frame()->title(), QStringLiteral("b"));
    QVERIFY(!hasBridge(browser.frame()));
}

QTEST_MAIN(tst_WebContent)
#include "tst_webcontent.moc"
