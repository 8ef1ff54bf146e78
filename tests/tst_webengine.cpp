// The engines whose page runs in another process (WebEngine, WebKitGTK),
// where their mechanism differs from Qt WebKit's: the token put on requests
// by the engine, the bridge as marked prompts answered while this process's
// event loop runs, the page's own dialogs, permissions, the pointer's shape,
// input methods, and nothing on disk.
// Pages come from a real HTTP server on loopback, the page runs in a real
// page process; the window's share is WebContent alone, so one source runs
// against each engine's library.
#include "httpfixture.h"
#include "webcontent.h"
#include "zuvojsbridge.h"

#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::HttpFixture;

namespace {

const int loadTimeoutMs = 20000;

// Each sub-resource and script request of the page, to the page's own host
// and to another one (localhost against 127.0.0.1).
const QByteArray requestsPage = R"(<html><head><title>loading</title>
<link rel="stylesheet" href="/style.css"></head><body>
<img src="OTHER/image.png">
<iframe src="/frame"></iframe>
<script>
var xhr = new XMLHttpRequest();
xhr.open('GET', '/sync', false);
xhr.send();
fetch('OTHER/fetched', {mode: 'no-cors'}).then(function () {
    document.title = 'done';
}, function () { document.title = 'done'; });
</script></body></html>)";

// The page's verdict on the bridge, in its title; with ?then=ADDRESS it goes
// on there, telling the server its verdict.
const QByteArray bridgeProbe = R"(<html><head><script>
document.title = typeof window.zuvowebkitbridge;
var then = new URLSearchParams(location.search).get('then');
if (then)
    setTimeout(function () { location.href = then + '?from=' + document.title; }, 0);
</script></head><body></body></html>)";

// A frame of another origin inside a page that has the bridge, calling it the
// way the bridge's own script does; the page learns when it has asked.
const QByteArray framedPage = R"(<html><head><script>
window.addEventListener('message', function (event) { document.title = 'frame ' + event.data; });
</script></head><body><iframe src="OTHER/thief"></iframe></body></html>)";
const QByteArray thiefFrame = R"(<html><body><script>
var answer = prompt('\u0001zuvowebkitbridge:postLog', 'stolen');
parent.postMessage('asked', '*');
</script></body></html>)";

const QByteArray userInfoPage = R"(<html><head><script>
setTimeout(function () {
    var started = Date.now();
    var info = window.zuvowebkitbridge.getCurrentUserInfo();
    document.title = 'info:' + info + ' waited:' + (Date.now() - started);
}, 50);
</script></head><body></body></html>)";

const QByteArray dialogsPage = R"(<html><head><script>
setTimeout(function () {
    alert('first');
    var confirmed = confirm('second');
    var answer = prompt('third', 'default');
    document.title = 'confirmed:' + confirmed + ' answer:' + answer;
}, 50);
</script></head><body></body></html>)";

const QByteArray permissionsPage = R"(<html><head><script>
var verdicts = [];
function done(what) {
    verdicts.push(what);
    if (verdicts.length === 2)
        document.title = verdicts.sort().join(' ');
}
navigator.geolocation.getCurrentPosition(function () { done('location:granted'); },
                                         function () { done('location:refused'); });
navigator.mediaDevices.getUserMedia({video: true}).then(function () { done('camera:granted'); },
                                                        function () { done('camera:refused'); });
</script></head><body></body></html>)";

const QByteArray storagePage = R"(<html><head><script>
document.cookie = 'kept=1; max-age=86400';
localStorage.setItem('kept', 'yes');
indexedDB.open('kept', 1);
document.title = 'stored';
</script></head><body></body></html>)";

const QByteArray newWindowPage = R"(<html><head><title>opener</title></head><body>
<a id="out" href="/opened" target="_blank">out</a>
<script>
// Once: coming back to this page must leave it shown.
if (performance.getEntriesByType('navigation')[0].type !== 'back_forward')
    setTimeout(function () { document.getElementById('out').click(); }, 50);
</script>
</body></html>)";

// A link, text and nothing, each in a band of its own.
const QByteArray pointerPage = R"(<html><head><title>bands</title></head>
<body style="margin:0;font:40px sans-serif">
<a href="/plain" style="position:absolute;top:0;left:0;width:800px;height:100px;display:block">link</a>
<p style="position:absolute;top:150px;left:0;margin:0">text text text text</p>
</body></html>)";

// A field that has the focus as soon as it is there, its value in the title.
const QByteArray fieldPage = R"(<html><head><title>empty</title></head><body>
<input id="field" autofocus>
<script>
var field = document.getElementById('field');
field.addEventListener('input', function () { document.title = 'value:' + field.value; });
field.focus();
</script></body></html>)";

// The page's width in CSS pixels, which shrinks as the page is zoomed in.
const QByteArray widthPage = R"(<html><head><script>
setInterval(function () { document.title = 'width:' + window.innerWidth; }, 50);
</script></head><body></body></html>)";

// What the pointer looks like over a point of the view: a shape, or the
// image the page drew for it. The pointer glides there in steps, as a hand
// moves it, so the page sees it come in before it arrives.
QString pointerLook(QWidget *view, const QPoint &point)
{
    const QPoint from = view->mapFromGlobal(QCursor::pos());
    for (int step = 1; step <= 5 && from != point; ++step) {
        QTest::mouseMove(view, from + (point - from) * step / 5);
        QTest::qWait(20);
    }
    QWidget *under = view->childAt(point) ? view->childAt(point) : view;
    const QCursor cursor = under->cursor();
    if (cursor.shape() != Qt::BitmapCursor)
        return QString::number(cursor.shape());
    const QImage image = cursor.pixmap().toImage();
    return QString::number(qHashBits(image.constBits(), size_t(image.sizeInBytes())));
}

// Whether the widget a platform input context talks to takes its events.
bool focusTakesInputMethod()
{
    QObject *focus = QGuiApplication::focusObject();
    if (!focus)
        return false;
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(focus, &query);
    return query.value(Qt::ImEnabled).toBool();
}

// A canvas cleared green through WebGL, where the engine offers it.
const QByteArray webGlPage = R"(<html><body style="margin: 0"><canvas width="200" height="200"></canvas><script>
var gl = document.querySelector('canvas').getContext('webgl');
if (gl) {
    gl.clearColor(0, 0.8, 0, 1);
    gl.clear(gl.COLOR_BUFFER_BIT);
}
document.title = gl ? 'webgl' : 'no webgl';
</script></body></html>)";

QByteArray titled(const QByteArray &title)
{
    return "<html><head><title>" + title + "</title></head><body>" + title + "</body></html>";
}

} // namespace

class tst_OutOfProcessEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void accessTokenOnEveryRequest_data();
    void accessTokenOnEveryRequest();
    void bridgeOnlyForTheRequestedOrigin_data();
    void bridgeOnlyForTheRequestedOrigin();
    void frameOfAnotherOriginGetsNoBridge();
    void userInfoIsSynchronous_data();
    void userInfoIsSynchronous();
    void pageDialogsCloseAsCancel();
    void permissionsAreRefusedWithoutAsking();
    void newWindowLoadsHereAndBackReturns();
    void addressWhilePreparingIsShown();
    void webGlIsDrawn();
    void findCountsAndSteps();
    void zoomStepsReachThePageAndHoldAcrossLoads();
    void pointerShowsWhatIsUnderIt();
    void inputMethodComposesInTheField();
    void nothingIsWrittenToDisk();

private:
    bool show(const QString &path, const QString &host = QStringLiteral("127.0.0.1"));
    QString otherOrigin() const { return _server.url(QString(), QStringLiteral("localhost")).toString(); }

    HttpFixture _server;
    QTemporaryDir _home;
    QWidget *_holder = nullptr;
    ZuvoJsBridge *_bridge = nullptr;
    WebContent *_content = nullptr;
};

void tst_OutOfProcessEngine::initTestCase()
{
    QVERIFY(_home.isValid());
    // Whatever the engine would keep lands here, where the last test looks.
    qputenv("HOME", _home.path().toUtf8());
    qputenv("XDG_DATA_HOME", _home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CACHE_HOME", _home.filePath(QStringLiteral("cache")).toUtf8());
    QVERIFY(_server.listenOn());
    _server.setPage("/plain", titled("plain"));
    _server.setPage("/style.css", "body { color: black }");
    testsupport::HttpResponse image;
    image.contentType = "image/png";
    image.body = HttpFixture::pngBytes();
    _server.setResponse("/image.png", image);
    _server.setPage("/frame", titled("frame"));
    _server.setPage("/sync", "ok");
    _server.setPage("/fetched", "ok");
    _server.setPage("/bridge", bridgeProbe);
    _server.setPage("/userinfo", userInfoPage);
    _server.setPage("/dialogs", dialogsPage);
    _server.setPage("/permissions", permissionsPage);
    _server.setPage("/storage", storagePage);
    _server.setPage("/opener", newWindowPage);
    _server.setPage("/opened", titled("opened"));
}

void tst_OutOfProcessEngine::init()
{
    _holder = new QWidget;
    _holder->resize(800, 600);
    _bridge = new ZuvoJsBridge(_holder);
    _content = WebContent::create(_holder, _bridge);
    _content->view()->resize(800, 600);
    _holder->show();
    _server.clearRequests();
}

void tst_OutOfProcessEngine::cleanup()
{
    delete _content;
    delete _holder;
    _content = nullptr;
}

bool tst_OutOfProcessEngine::show(const QString &path, const QString &host)
{
    QSignalSpy finished(_content, &WebContent::loadFinished);
    _content->showAddress(_server.url(path, host));
    return finished.wait(loadTimeoutMs) && finished.last().value(0).toBool();
}

void tst_OutOfProcessEngine::accessTokenOnEveryRequest_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<QByteArray>("sent"); // empty: no header at all

    QTest::newRow("plain") << "tok-3f9a" << QByteArray("tok-3f9a");
    QTest::newRow("unicode goes as UTF-8") << QString::fromUtf8("jeton-é") << QString::fromUtf8("jeton-é").toUtf8();
    QTest::newRow("empty") << "" << QByteArray();
    QTest::newRow("line break never sent") << "a\r\nX-Evil: 1" << QByteArray();
    QTest::newRow("tab never sent") << "a\tb" << QByteArray();
}

void tst_OutOfProcessEngine::accessTokenOnEveryRequest()
{
    QFETCH(QString, token);
    QFETCH(QByteArray, sent);
    _server.setPage("/requests", QByteArray(requestsPage).replace("OTHER", otherOrigin().toUtf8()));
    _content->setAccessToken(token);
    QVERIFY(show(QStringLiteral("/requests")));
    QTRY_COMPARE_WITH_TIMEOUT(_content->title(), QStringLiteral("done"), loadTimeoutMs);

    for (const char *path : {"/requests", "/style.css", "/image.png", "/frame", "/sync", "/fetched"}) {
        const QList<testsupport::HttpRequest> requests = _server.requestsFor(path);
        QVERIFY2(!requests.isEmpty(), path);
        for (const testsupport::HttpRequest &request : requests) {
            const QList<QByteArray> expected = sent.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{sent};
            QVERIFY2(request.headerValues("X-Access-Token") == expected, path);
            QVERIFY2(request.headerValues("User-Agent").value(0).contains(
                         QCoreApplication::applicationName().toUtf8()),
                     path);
        }
    }
}

void tst_OutOfProcessEngine::bridgeOnlyForTheRequestedOrigin_data()
{
    QTest::addColumn<QString>("requested");
    QTest::addColumn<QString>("redirectTo"); // empty: no redirect
    QTest::addColumn<QString>("verdict");

    QTest::newRow("the requested origin") << "127.0.0.1" << "" << "object";
    QTest::newRow("where its first load ended up") << "127.0.0.1" << "localhost" << "object";
}

void tst_OutOfProcessEngine::bridgeOnlyForTheRequestedOrigin()
{
    QFETCH(QString, requested);
    QFETCH(QString, redirectTo);
    QFETCH(QString, verdict);
    if (!redirectTo.isEmpty())
        _server.setRedirect("/redirect", _server.url(QStringLiteral("/bridge"), redirectTo));
    QVERIFY(show(redirectTo.isEmpty() ? QStringLiteral("/bridge") : QStringLiteral("/redirect"), requested));
    QTRY_COMPARE_WITH_TIMEOUT(_content->title(), verdict, loadTimeoutMs);
    if (!redirectTo.isEmpty())
        return;

    // A document of another origin reached from there gets nothing.
    const QString elsewhere = requested == QLatin1String("localhost") ? QStringLiteral("127.0.0.1")
                                                                      : QStringLiteral("localhost");
    const QString onward = _server.url(QStringLiteral("/bridge"), elsewhere).toString();
    QVERIFY(show(QStringLiteral("/bridge?then=") + QString::fromUtf8(QUrl::toPercentEncoding(onward)), requested));
    QTRY_COMPARE_WITH_TIMEOUT(_content->title(), QStringLiteral("undefined"), loadTimeoutMs);
    QCOMPARE(_server.requestsFor("/bridge?from=object").size(), 1);
}

void tst_OutOfProcessEngine::frameOfAnotherOriginGetsNoBridge()
{
    _server.setPage("/framed", QByteArray(framedPage).replace("OTHER", otherOrigin().toUtf8()));
    _server.setPage("/thief", thiefFrame);
    QSignalSpy logs(_bridge, &ZuvoJsBridge::receiveLog);
    QVERIFY(show(QStringLiteral("/framed")));
    QTRY_COMPARE_WITH_TIMEOUT(_content->title(), QStringLiteral("frame asked"), loadTimeoutMs);
    QCOMPARE(logs.count(), 0);
}

void tst_OutOfProcessEngine::userInfoIsSynchronous_data()
{
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QString>("info");
    QTest::newRow("the host's answer") << true << "ada@example";
    QTest::newRow("no answer: empty after about 3 s") << false << "";
}

void tst_OutOfProcessEngine::userInfoIsSynchronous()
{
    QFETCH(bool, answered);
    QFETCH(QString, info);
    if (answered) {
        connect(_bridge, &ZuvoJsBridge::currentUserInfo, this, [this, info](const QString &key) {
            const QJsonObject reply{{QStringLiteral("key"), key}, {QStringLiteral("info"), info}};
            _bridge->onCurrentUserInfo(QJsonDocument(reply).toJson(QJsonDocument::Compact));
        });
    }
    QVERIFY(show(QStringLiteral("/userinfo")));
    QTRY_VERIFY_WITH_TIMEOUT(_content->title().startsWith(QLatin1String("info:")), loadTimeoutMs);
    const QStringList parts = _content->title().split(QLatin1Char(' '));
    QCOMPARE(parts.value(0), QStringLiteral("info:") + info);
    const int waited = parts.value(1).mid(7).toInt();
    if (answered)
        QVERIFY2(waited < 1000, qPrintable(_content->title()));
    else
        QVERIFY2(waited >= 2500 && waited < 8000, qPrintable(_content->title()));
}

void tst_OutOfProcessEngine::pageDialogsCloseAsCancel()
{
    // Each dialog runs its own event loop under the page's call; the window
    // closes them as it does when the link ends or another address comes.
    QTimer closer;
    int closed = 0;
    connect(&closer, &QTimer::timeout, this, [&] {
        const QList<QDialog *> open = _content->view()->findChildren<QDialog *>();
        for (QDialog *dialog : open) {
            if (dialog->isVisible()) {
                _content->closePageDialogs();
                ++closed;
                return;
            }
        }
    });
    closer.start(50);
    QVERIFY(show(QStringLiteral("/dialogs")));
    QTRY_VERIFY_WITH_TIMEOUT(_content->title().startsWith(QLatin1String("confirmed:")), loadTimeoutMs);
    QCOMPARE(_content->title(), QStringLiteral("confirmed:false answer:null"));
    QCOMPARE(closed, 3);
}

void tst_OutOfProcessEngine::permissionsAreRefusedWithoutAsking()
{
    QVERIFY(show(QStringLiteral("/permissions")));
    QTRY_COMPARE_WITH_TIMEOUT(_content->title(), QStringLiteral("camera:refused location:refused"), loadTimeoutMs);
    QVERIFY(_content->view()->findChildren<QDialog *>().isEmpty());
}

void tst_OutOfProcessEngine::newWindowLoadsHereAndBackReturns()
{
    QVERIFY(show(QStringLiteral("/opener")));
    QTRY_COMPARE_WITH_TIMEOUT(_content->title(), QStringLiteral("opened"), loadTimeoutMs);
    QVERIFY(_content->canGoBack());
    _content->goBack();
    QTRY_COMPARE_WITH_TIMEOUT(_content->title(), QStringLiteral("opener"), loadTimeoutMs);
}

void tst_OutOfProcessEngine::addressWhilePreparingIsShown()
{
    // A host that started the browser ahead sends its first address while
    // the prepared blank page may still be on its way.
    delete _content;
    WebContent::prepareFirstPage();
    _content = WebContent::createForWindow(_holder, _bridge);
    _content->view()->resize(800, 600);
    // WebEngine's prepared blank page reports its start: the moment an engine
    // once dropped the address. WebKitGTK warms a view of its own that it never
    // reports, so there the address goes in while the warming runs.
    if (WebContent::engineName() != QLatin1String("WebKitGTK")) {
        QSignalSpy started(_content, &WebContent::loadStarted);
        QVERIFY(started.wait(loadTimeoutMs));
    }
    _content->showAddress(_server.url(QStringLiteral("/opened")));
    QTRY_COMPARE_WITH_TIMEOUT(_content->title(), QStringLiteral("opened"), loadTimeoutMs);
    QVERIFY(!_content->canGoBack());
}

void tst_OutOfProcessEngine::webGlIsDrawn()
{
    _server.setPage("/webgl", webGlPage);
    QVERIFY(show(QStringLiteral("/webgl")));
    QTRY_VERIFY_WITH_TIMEOUT(_content->title().endsWith(QLatin1String("webgl")), loadTimeoutMs);
    if (_content->title() != QLatin1String("webgl")) {
        // WebKitGTK draws WebGL in software where there is no GPU; WebEngine
        // does not on a virtual X server.
        QVERIFY(WebContent::engineName() != QLatin1String("WebKitGTK"));
        QSKIP("this engine offers no WebGL here");
    }
    const auto canvasShown = [this] {
        const QColor shown = _content->view()->grab().toImage().pixelColor(50, 50);
        return shown.green() > 180 && shown.red() < 40 && shown.blue() < 40;
    };
    QTRY_VERIFY_WITH_TIMEOUT(canvasShown(), loadTimeoutMs);
}

void tst_OutOfProcessEngine::findCountsAndSteps()
{
    _server.setPage("/find", "<html><body><p>apple pie, Apple juice, pineapple, banana, APPLE</p></body></html>");
    QVERIFY(show(QStringLiteral("/find")));
    QSignalSpy results(_content, &WebContent::findResult);
    const auto expect = [&](int current, int total) {
        QTRY_VERIFY_WITH_TIMEOUT(!results.isEmpty(), loadTimeoutMs);
        const QList<QVariant> last = results.takeLast();
        results.clear();
        QCOMPARE(last.value(0).toInt(), current);
        QCOMPARE(last.value(1).toInt(), total);
    };
    _content->find(QStringLiteral("apple"), WebContent::FindStep::Restart);
    expect(1, 4);
    _content->find(QStringLiteral("apple"), WebContent::FindStep::Next);
    expect(2, 4);
    _content->find(QStringLiteral("apple"), WebContent::FindStep::Previous);
    expect(1, 4);
    _content->find(QStringLiteral("apple"), WebContent::FindStep::Previous);
    expect(4, 4);
    _content->find(QStringLiteral("kiwi"), WebContent::FindStep::Restart);
    expect(0, 0);
}

void tst_OutOfProcessEngine::zoomStepsReachThePageAndHoldAcrossLoads()
{
    _server.setPage("/width", widthPage);
    QVERIFY(show(QStringLiteral("/width")));
    const auto pageWidth = [this] {
        const QString title = _content->title();
        return title.startsWith(QLatin1String("width:")) ? title.mid(6).toInt() : -1;
    };
    QTRY_VERIFY_WITH_TIMEOUT(pageWidth() > 0, loadTimeoutMs);
    const int unzoomed = pageWidth();
    const auto widthAtZoom = [unzoomed](int percent) { return qRound(unzoomed * 100.0 / percent); };
    QSignalSpy changes(_content, &WebContent::zoomChanged);

    auto *steppedZoom = qobject_cast<SteppedZoomContent *>(_content);
    QVERIFY(steppedZoom);
    steppedZoom->zoomBy(2);
    QCOMPARE(_content->zoomPercent(), 125);
    QCOMPARE(changes.count(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(pageWidth() - widthAtZoom(125)) <= 1, loadTimeoutMs);

    // The next address keeps the level.
    QVERIFY(show(QStringLiteral("/width")));
    QTRY_VERIFY_WITH_TIMEOUT(pageWidth() > 0, loadTimeoutMs);
    QVERIFY(qAbs(pageWidth() - widthAtZoom(125)) <= 1);

    _content->zoomOut();
    QCOMPARE(_content->zoomPercent(), 110);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(pageWidth() - widthAtZoom(110)) <= 1, loadTimeoutMs);
    _content->resetZoom();
    QTRY_COMPARE_WITH_TIMEOUT(pageWidth(), unzoomed, loadTimeoutMs);
    QCOMPARE(changes.count(), 3);
}

void tst_OutOfProcessEngine::pointerShowsWhatIsUnderIt()
{
    _server.setPage("/bands", pointerPage);
    QVERIFY(show(QStringLiteral("/bands")));
    QWidget *view = _content->view();
    const QPoint link(50, 50), text(60, 175), nothing(400, 400);
    // Each look is waited for from the one before: the page answers a move
    // in its own time, and sets its first look only once the pointer is in.
    const QString before = pointerLook(view, nothing);
    QTRY_VERIFY_WITH_TIMEOUT(pointerLook(view, link) != before, loadTimeoutMs);
    const QString hand = pointerLook(view, link);
    QTRY_VERIFY_WITH_TIMEOUT(pointerLook(view, nothing) != hand, loadTimeoutMs);
    const QString blank = pointerLook(view, nothing);
    QTRY_VERIFY_WITH_TIMEOUT(pointerLook(view, text) != hand && pointerLook(view, text) != blank, loadTimeoutMs);
}

void tst_OutOfProcessEngine::inputMethodComposesInTheField()
{
    // The events go where a platform input context sends them, once the
    // page's focused field has made its widget take them: a preedit shows
    // in the field, the commit replaces it.
    _server.setPage("/field", fieldPage);
    QVERIFY(show(QStringLiteral("/field")));
    _holder->activateWindow();
    _content->view()->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(_holder));
    QTRY_VERIFY_WITH_TIMEOUT(focusTakesInputMethod(), loadTimeoutMs);

    const QString preeditText = QString::fromUtf8("にほ");
    QInputMethodEvent preedit(preeditText, {{QInputMethodEvent::Cursor, int(preeditText.size()), 1, QVariant()}});
    QCoreApplication::sendEvent(QGuiApplication::focusObject(), &preedit);
    QTRY_COMPARE_WITH_TIMEOUT(_content->title(), QStringLiteral("value:") + preeditText, loadTimeoutMs);

    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("日本語"));
    QCoreApplication::sendEvent(QGuiApplication::focusObject(), &commit);
    QTRY_COMPARE_WITH_TIMEOUT(_content->title(), QString::fromUtf8("value:日本語"), loadTimeoutMs);
}

void tst_OutOfProcessEngine::nothingIsWrittenToDisk()
{
    QVERIFY(show(QStringLiteral("/storage")));
    QTRY_COMPARE_WITH_TIMEOUT(_content->title(), QStringLiteral("stored"), loadTimeoutMs);
    QVERIFY(show(QStringLiteral("/plain")));
    cleanup();
    init();
    QStringList written;
    QDirIterator files(_home.path(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (files.hasNext())
        written << files.next();
    QVERIFY2(written.isEmpty(), qPrintable(written.join(QLatin1Char(' '))));
}

// What the browser's own start does before its application exists.
int main(int argc, char **argv)
{
    WebContent::prepareProcess();
    QApplication app(argc, argv);
    tst_OutOfProcessEngine test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_webengine.moc"
