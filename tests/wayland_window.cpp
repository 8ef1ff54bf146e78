// The browser window on a Wayland desktop (headless sway, every window
// floating and borderless): the real process, its host in this test, input
// from a virtual pointer on the compositor's seat. There a window cannot
// move itself, so a drag that the window tried to carry out alone leaves it
// where it was; the title bar and the edges must hand the press to the
// compositor, which then follows the pointer exactly. The compositor's own
// account of the window (swaymsg) is the truth checked against.
#include "browserrun.h"
#include "contentlayout.h"
#include "httpfixture.h"
#include "waylanddriver.h"
#include "zuvochatwbconfigure.h"

#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using testsupport::HttpFixture;
Q_DECLARE_METATYPE(QMargins)

namespace {

const int timeout = 15000;
// The session's one output (tests/wayland/sway.config).
const QSize layoutSize(1600, 1200);
const QString hostRect = QStringLiteral("300,200,800,600,0");

QString reportFor(const QSize &size)
{
    return QStringLiteral("300,200,%1,%2,0").arg(size.width()).arg(size.height());
}

} // namespace

class tst_WaylandWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void titleBarMovesTheWindow();
    void edgesResizeTheWindow_data();
    void edgesResizeTheWindow();
    void pagePopupOpensAtItsField();

private:
    // A browser of its own on the Wayland session, asked to show a page.
    bool startBrowser(const char *path = "/plain");
    // Its window where the compositor put it, once the browser has settled
    // at the host's size: sway maps a window tiled before it floats it, so
    // the first size the browser lays out for can be the whole output.
    QRect settledWindow();
    QRect windowRect() const { return wayland::windowRect(_browser->pid()); }
    // Where the pointer rests between drags: on the output, off the window.
    void parkPointer() { _pointer.moveTo(QPoint(layoutSize.width() - 5, 5)); }

    HttpFixture _server;
    wayland::VirtualPointer _pointer;
    std::unique_ptr<QTemporaryDir> _dir;
    std::unique_ptr<BrowserRun> _browser;
};

void tst_WaylandWindow::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY2(_pointer.open(layoutSize), qPrintable(_pointer.errorString()));
    QVERIFY(_server.listenOn());
    _server.setPage("/plain", R"(<!doctype html><html><head><title>plain</title></head>
<body style="margin:0;background:#ffffff"></body></html>)");
    _server.setPage("/select", R"(<!doctype html><html><head><title>select</title></head>
<body style="margin:0;background:#ffffff">
<select style="position:absolute;left:40px;top:40px;width:240px;height:24px;font-size:16px">
<option>First option</option><option>Second option</option><option>Third option</option></select>
</body></html>)");
}

bool tst_WaylandWindow::startBrowser(const char *path)
{
    // A copy in a folder of its own: its endpoint cannot collide with the
    // X11 runs, whose sockets belong to another user.
    _browser.reset();
    _dir = std::make_unique<QTemporaryDir>();
    _browser = std::make_unique<BrowserRun>(BrowserRun::copyInto(*_dir));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    _browser->process().setProcessEnvironment(environment);
    _browser->process().setProcessChannelMode(QProcess::ForwardedChannels);
    if (!_browser->start(timeout))
        return false;
    _browser->configure({
        {QStringLiteral("title"), QStringLiteral("Zuvo Window")},
        {QStringLiteral("windowsRect"), hostRect},
        {QStringLiteral("miniWidth"), QStringLiteral("520")},
    });
    _browser->showUrl(_server.url(QLatin1String(path)));
    return true;
}

QRect tst_WaylandWindow::settledWindow()
{
    QDeadlineTimer deadline(timeout);
    while (!deadline.hasExpired() &&
           (windowRect().isNull() || _browser->lastText(QStringLiteral("savePosition")) != hostRect))
        QTest::qWait(50);
    return windowRect();
}

void tst_WaylandWindow::titleBarMovesTheWindow()
{
    QVERIFY(startBrowser());
    // The compositor chose the place; the host's size holds, and the report
    // gives the host its own place back.
    const QRect before = settledWindow();
    QCOMPARE(before.size(), QSize(800, 600));
    QCOMPARE(_browser->lastText(QStringLiteral("savePosition")), hostRect);

    const QPoint grab = before.topLeft() + ContentLayout(before.size()).emptyTitleBarSpot();
    _pointer.drag(grab, grab + QPoint(120, 90));
    parkPointer();
    QTRY_COMPARE_WITH_TIMEOUT(windowRect(), before.translated(120, 90), 5000);
}

void tst_WaylandWindow::edgesResizeTheWindow_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QPoint>("displacement");
    QTest::addColumn<QMargins>("growth"); // how far each edge moves outwards
    QTest::newRow("right edge") << QStringLiteral("right") << QPoint(90, 25) << QMargins(0, 0, 90, 0);
    QTest::newRow("bottom-left corner") << QStringLiteral("bottom-left") << QPoint(-60, 70)
                                        << QMargins(60, 0, 0, 70);
}

void tst_WaylandWindow::edgesResizeTheWindow()
{
    QFETCH(QString, zone);
    QFETCH(QPoint, displacement);
    QFETCH(QMargins, growth);
    QVERIFY(startBrowser());
    const QRect before = settledWindow();
    QCOMPARE(before.size(), QSize(800, 600));

    const ContentLayout layout(before.size());
    const QPoint grab =
        before.topLeft() + (zone == QLatin1String("right") ? layout.rightEdgeSpot() : layout.bottomLeftCornerSpot());
    _pointer.drag(grab, grab + displacement);
    parkPointer();
    const QRect after = before.marginsAdded(growth);
    QTRY_COMPARE_WITH_TIMEOUT(windowRect(), after, 5000);
    // The real size, at the host's own place.
    QTRY_COMPARE_WITH_TIMEOUT(_browser->lastText(QStringLiteral("savePosition")), reportFor(after.size()), 3000);
}

void tst_WaylandWindow::pagePopupOpensAtItsField()
{
    // The list of a page's drop-down is a popup of the engine's own, placed
    // from the toolkit's idea of where the window is; that idea must agree
    // with the compositor's placing of popups, or the list opens a host's
    // windowsRect position away from its field.
    if (BrowserRun::underTest().endsWith(QLatin1String("webkitgtk")))
        QSKIP("the WebKitGTK build does not draw a page's popups yet");
    QVERIFY(startBrowser("/select"));
    const QRect window = settledWindow();
    const QRect page = ContentLayout(window.size()).rectOf("webview").translated(window.topLeft());
    const QRect belowField(page.topLeft() + QPoint(40, 70), QSize(240, 50));
    QTRY_COMPARE_WITH_TIMEOUT(_server.requestsFor("/select").size(), 1, timeout);
    const auto inkBelowField = [&belowField] {
        const QImage shot = wayland::screenshot().copy(belowField);
        int ink = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x)
                ink += qGray(shot.pixel(x, y)) < 160 ? 1 : 0;
        }
        return ink;
    };
    QCOMPARE(inkBelowField(), 0);

    _pointer.moveTo(page.topLeft() + QPoint(60, 52));
    _pointer.press();
    _pointer.release();
    // The options' text, under the field.
    QTRY_VERIFY_WITH_TIMEOUT(inkBelowField() > 50, 5000);
}

QTEST_MAIN(tst_WaylandWindow)
#include "wayland_window.moc"
