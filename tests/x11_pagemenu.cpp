// The page's right-click menu and the developer tools, with the real browser
// process on the X server and real pointer and key input: the first entry of
// the menu over a link, over selected text and over an image puts that on the
// clipboard, as Ctrl+C does, and Ctrl+V pastes from it; F12 opens the
// developer tools only where ZUVO_DEVTOOLS=1; text typed into the page
// arrives as typed with the user's keyboard layout; a select list opens on a
// click and the keys choose in it; at 200 % the page is drawn with every
// screen pixel.
#include "browserrun.h"
#include "contentlayout.h"
#include "httpfixture.h"
#include "x11driver.h"
#include "zuvochatwbconfigure.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QtTest>

using testsupport::HttpFixture;

namespace {

const int timeout = 15000;

const HostSettings settings = {
    {QStringLiteral("title"), QStringLiteral("Zuvo Page Menu")},
    {QStringLiteral("windowsRect"), QStringLiteral("300,200,800,560")},
};

// Everything at fixed places in the page, so the pointer knows where to go.
const QByteArray menuPage = R"(<!doctype html><html><head><title>menu</title></head>
<body style="margin:0;background:#ffffff;font:24px sans-serif">
<a href="/target?x=1" style="position:absolute;left:20px;top:20px">a link</a>
<p id="word" style="position:absolute;left:20px;top:80px;margin:0">plainword</p>
<img src="/image.png" style="position:absolute;left:20px;top:160px;width:60px;height:60px">
<input id="field" style="position:absolute;left:300px;top:20px;width:200px;font:24px sans-serif"
       oninput="window.zuvowebkitbridge.postLog('typed:' + this.value);">
<select style="position:absolute;left:300px;top:100px;width:200px;font:18px sans-serif"
        onchange="window.zuvowebkitbridge.postLog('chose:' + this.value);">
  <option>apple</option><option selected>banana</option><option>cherry</option>
</select>
<script>
// What a double click takes differs by engine; this word alone is meant.
document.getElementById('word').ondblclick = function () {
    window.getSelection().selectAllChildren(this);
};
window.zuvowebkitbridge.postLog('ready');
</script>
</body></html>)";

// Columns one screen pixel wide, black and white by turns, over the page's
// top left; drawn at fewer pixels and scaled up they would be grey, or two
// pixels wide.
const QByteArray finePage = R"(<!doctype html><html><body style="margin:0">
<canvas id="fine" style="width:200px;height:100px"></canvas>
<script>
var canvas = document.getElementById('fine');
canvas.width = 200 * window.devicePixelRatio;
canvas.height = 100 * window.devicePixelRatio;
var context = canvas.getContext('2d');
context.fillStyle = '#fff';
context.fillRect(0, 0, canvas.width, canvas.height);
context.fillStyle = '#000';
for (var x = 0; x < canvas.width; x += 2)
    context.fillRect(x, 0, 1, canvas.height);
window.zuvowebkitbridge.postLog('ratio:' + window.devicePixelRatio);
</script></body></html>)";

// The longest run of screen pixels in one row that each differ sharply from
// the next.
int longestAlternation(const QImage &shot)
{
    int longest = 0;
    for (int y = 0; y < shot.height(); y += 4) {
        int run = 0;
        for (int x = 1; x < shot.width(); ++x) {
            run = qAbs(qGray(shot.pixel(x, y)) - qGray(shot.pixel(x - 1, y))) > 128 ? run + 1 : 0;
            longest = qMax(longest, run);
        }
    }
    return longest;
}

// Client-area points of the page's parts, inside the view.
const QPoint linkSpot(40, 32);
const QPoint wordSpot(60, 92);
const QPoint imageSpot(50, 190);
const QPoint blankSpot(400, 400);
const QPoint fieldSpot(400, 35);
const QPoint selectSpot(400, 112);

void useLayout(const QString &layout)
{
    QCOMPARE(QProcess::execute(QStringLiteral("setxkbmap"), {layout}), 0);
}

} // namespace

class tst_PageMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void firstEntryCopiesWhatThePointerIsOn_data();
    void firstEntryCopiesWhatThePointerIsOn();
    void keysCopyAndPaste();
    void selectListOpensAndTheKeysChoose();
    void typedTextArrivesWithTheUsersLayout_data();
    void typedTextArrivesWithTheUsersLayout();
    void pageIsDrawnAtTheScreensPixels();
    void developerToolsOnlyWhenAskedFor_data();
    void developerToolsOnlyWhenAskedFor();

private:
    void openBrowser(bool devTools, const QString &scale = QString(), const QString &page = QStringLiteral("/menu"));
    QPoint onPage(const QPoint &pagePoint) const;
    // Clicks and waits until a menu is mapped; false when none came.
    bool openMenuAt(const QPoint &pagePoint, int waitMs, Qt::MouseButton button = Qt::RightButton);
    bool hasWindowNamed(const QString &name) const;

    HttpFixture _server;
    std::unique_ptr<BrowserRun> _browser;
    x11::WindowId _window = 0;
};

void tst_PageMenu::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(_server.listenOn());
    _server.setPage("/menu", menuPage);
    _server.setPage("/fine", finePage);
    testsupport::HttpResponse image;
    image.contentType = "image/png";
    image.body = HttpFixture::pngBytes();
    _server.setResponse("/image.png", image);
}

void tst_PageMenu::cleanup()
{
    useLayout(QStringLiteral("us"));
    _browser.reset();
    _window = 0;
}

void tst_PageMenu::openBrowser(bool devTools, const QString &scale, const QString &page)
{
    _browser = std::make_unique<BrowserRun>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (devTools)
        environment.insert(QStringLiteral("ZUVO_DEVTOOLS"), QStringLiteral("1"));
    else
        environment.remove(QStringLiteral("ZUVO_DEVTOOLS"));
    if (!scale.isEmpty())
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
    _browser->process().setProcessEnvironment(environment);
    QVERIFY(_browser->start(timeout));
    _browser->configure(settings);
    _browser->showUrl(_server.url(page));
    _window = _browser->waitForWindow(timeout);
    QVERIFY2(_window, "the browser mapped no window");
    QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(QStringLiteral("receiveLog")).size(), 1, timeout);
    x11::activateWindow(_window);
}

QPoint tst_PageMenu::onPage(const QPoint &pagePoint) const
{
    const QRect client = x11::clientGeometry(_window);
    const QRect view = ContentLayout(client.size()).rectOf("webview");
    return client.topLeft() + view.topLeft() + pagePoint;
}

bool tst_PageMenu::openMenuAt(const QPoint &pagePoint, int waitMs, Qt::MouseButton button)
{
    const int before = x11::visibleWindowsOf(_browser->pid()).size();
    if (button == Qt::RightButton)
        x11::rightClick(onPage(pagePoint));
    else
        x11::click(onPage(pagePoint));
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < waitMs) {
        if (x11::visibleWindowsOf(_browser->pid()).size() > before)
            return true;
        QTest::qWait(50);
    }
    return false;
}

bool tst_PageMenu::hasWindowNamed(const QString &name) const
{
    for (x11::WindowId window : x11::visibleWindowsOf(_browser->pid())) {
        if (x11::windowName(window) == name)
            return true;
    }
    return false;
}

void tst_PageMenu::firstEntryCopiesWhatThePointerIsOn_data()
{
    QTest::addColumn<QPoint>("spot");
    QTest::addColumn<bool>("selectFirst");
    QTest::addColumn<QString>("text"); // empty: an image is expected

    QTest::newRow("Copy link address") << linkSpot << false << _server.url(QStringLiteral("/target?x=1")).toString();
    QTest::newRow("Copy") << wordSpot << true << "plainword";
    QTest::newRow("Copy image") << imageSpot << false << "";
}

void tst_PageMenu::firstEntryCopiesWhatThePointerIsOn()
{
    QFETCH(QPoint, spot);
    QFETCH(bool, selectFirst);
    QFETCH(QString, text);
    openBrowser(false);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));

    if (selectFirst) {
        x11::doubleClick(onPage(spot));
        QTest::qWait(300); // the page settles its selection
    }
    QVERIFY2(openMenuAt(spot, 5000), "no menu appeared");
    x11::pressKeys({QStringLiteral("Down"), QStringLiteral("Return")});

    QClipboard *clipboard = QGuiApplication::clipboard();
    if (text.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(clipboard->mimeData() && clipboard->mimeData()->hasImage(), timeout);
        QVERIFY(!clipboard->image().isNull());
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(clipboard->text().trimmed(), text, timeout);
    }
}

void tst_PageMenu::keysCopyAndPaste()
{
    openBrowser(false);
    // Pasting first: once the browser has owned the clipboard, a program
    // that has seen no input since cannot take it back in X's eyes.
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("from elsewhere"));
    x11::click(onPage(fieldSpot));
    // The click hands the page the clipboard afresh; a hand takes longer to
    // reach for the keys than WebKitGTK takes to learn of it.
    QTest::qWait(300);
    x11::pressKeys({QStringLiteral("ctrl+v")});
    QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(QStringLiteral("receiveLog")).last(), QStringLiteral("typed:from elsewhere"),
                              timeout);

    x11::doubleClick(onPage(wordSpot));
    QTest::qWait(300); // the page settles its selection
    x11::pressKeys({QStringLiteral("ctrl+c")});
    QTRY_COMPARE_WITH_TIMEOUT(clipboard->text().trimmed(), QStringLiteral("plainword"), timeout);
}

void tst_PageMenu::selectListOpensAndTheKeysChoose()
{
    openBrowser(false);
    QVERIFY2(openMenuAt(selectSpot, 5000, Qt::LeftButton), "the list did not open");
    QTest::qWait(300); // drawn
    x11::keepScreenshot(x11::screenshot().copy(x11::clientGeometry(_window)),
                       QStringLiteral("select-open-") + QFileInfo(BrowserRun::underTest()).fileName());
    x11::pressKeys({QStringLiteral("Down"), QStringLiteral("Return")});
    QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(QStringLiteral("receiveLog")).last(), QStringLiteral("chose:cherry"),
                              timeout);
}

void tst_PageMenu::typedTextArrivesWithTheUsersLayout_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("typed");     // by xdotool, character by character
    QTest::addColumn<QStringList>("keys");  // then these keys, by name
    QTest::addColumn<QString>("text");

    QTest::newRow("US") << "us" << "hello" << QStringList() << "hello";
    QTest::newRow("German: swapped keys, umlauts, AltGr, dead keys")
        << "de" << QString::fromUtf8("zyäß€") << QStringList{"dead_acute", "e", "dead_circumflex", "a"}
        << QString::fromUtf8("zyäß€éâ");
}

void tst_PageMenu::typedTextArrivesWithTheUsersLayout()
{
    QFETCH(QString, layout);
    QFETCH(QString, typed);
    QFETCH(QStringList, keys);
    QFETCH(QString, text);
    // The layout the user has when the browser starts.
    useLayout(layout);
    openBrowser(false);
    x11::click(onPage(fieldSpot));
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                                  QStringLiteral("60"), typed});
    if (!keys.isEmpty())
        x11::pressKeys(keys);
    QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(QStringLiteral("receiveLog")).last(), QStringLiteral("typed:") + text,
                              timeout);
}

void tst_PageMenu::pageIsDrawnAtTheScreensPixels()
{
    openBrowser(false, QStringLiteral("2"), QStringLiteral("/fine"));
    QCOMPARE(_browser->texts(QStringLiteral("receiveLog")), QStringList{"ratio:2"});
    QImage shot;
    QTRY_VERIFY_WITH_TIMEOUT(longestAlternation(shot = x11::screenshot().copy(x11::clientGeometry(_window))) >= 300,
                             timeout);
    x11::keepScreenshot(shot.copy(0, 0, 600, 400),
                        QStringLiteral("page-200-") + QFileInfo(BrowserRun::underTest()).fileName());
}

void tst_PageMenu::developerToolsOnlyWhenAskedFor_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::newRow("ZUVO_DEVTOOLS=1") << true;
    QTest::newRow("not set") << false;
}

void tst_PageMenu::developerToolsOnlyWhenAskedFor()
{
    QFETCH(bool, enabled);
    const QString tools = QStringLiteral("Developer tools");
    openBrowser(enabled);
    x11::click(onPage(blankSpot));
    x11::pressKeys({QStringLiteral("F12")});
    if (enabled) {
        QTRY_VERIFY_WITH_TIMEOUT(hasWindowNamed(tools), timeout);
        // The menu gains "Inspect", so even here there is one.
        x11::activateWindow(_window);
        QVERIFY2(openMenuAt(blankSpot, 5000), "no menu with Inspect");
        return;
    }
    // A fresh page with nothing selected and nowhere to go back to: no menu,
    // as before, and F12 does nothing.
    QVERIFY(!openMenuAt(blankSpot, 1500));
    QVERIFY(!hasWindowNamed(tools));
}

QTEST_MAIN(tst_PageMenu)
#include "x11_pagemenu.moc"
