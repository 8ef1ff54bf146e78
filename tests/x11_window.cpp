// The browser window on a desktop that frames it (Xvfb with openbox): the
// real process, its host in this test, real pointer input. Each case starts a
// browser of its own, because each ends it or needs a fresh start: the link
// ending while a dialog is open, a new address closing a page's dialog, the
// first position report and exact edge drags, and a saved position on a
// screen that is no longer there.
#include "browserrun.h"
#include "contentlayout.h"
#include "httpfixture.h"
#include "x11driver.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

#include <memory>

using testsupport::HttpFixture;

namespace {

const int timeout = 15000;

HostSettings settingsAt(const QString &rect)
{
    return {
        {QStringLiteral("title"), QStringLiteral("Zuvo Window")},
        {QStringLiteral("windowsRect"), rect},
        {QStringLiteral("miniWidth"), QStringLiteral("520")},
    };
}

QByteArray pageRunning(const QByteArray &script)
{
    // After the load, so that the page is complete when the dialog opens.
    return "<!doctype html><html><head><title>dialog</title></head>"
           "<body style=\"margin:0;background:#ffffff\"><a id=\"file\" href=\"/file.bin\" download=\"file.bin\">f</a>"
           "<script>window.onload = function () { setTimeout(function () {" +
           script + "}, 50); };</script></body></html>";
}

const QByteArray plainPage = R"(<!doctype html><html><head><title>plain</title></head>
<body style="margin:0;background:#ffffff"></body></html>)";

bool nearWhite(QRgb pixel, int tolerance)
{
    return qRed(pixel) >= 255 - tolerance && qGreen(pixel) >= 255 - tolerance && qBlue(pixel) >= 255 - tolerance;
}

void parkPointer()
{
    x11::movePointer(QPoint(1590, 5));
}

} // namespace

class tst_Window : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void linkEndDuringDialogExitsCleanly_data();
    void linkEndDuringDialogExitsCleanly();
    void newAddressClosesPageDialog();
    void firstReportAndExactEdgeDrags();
    void savedPositionIsBroughtOnScreen_data();
    void savedPositionIsBroughtOnScreen();

private:
    // A browser on its own process showing path, its window mapped.
    bool startBrowser(const QString &rect, const QByteArray &path);

    HttpFixture _server;
    std::unique_ptr<BrowserRun> _browser;
    x11::WindowId _window = 0;
};

void tst_Window::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(_server.listenOn());
    _server.setPage("/plain", plainPage);
    _server.setPage("/alert", pageRunning("alert('Stop here');"));
    _server.setPage("/confirm", pageRunning("var r = confirm('Sure?'); window.zuvowebkitbridge.postLog('confirm:' + r);"));
    _server.setPage("/prompt", pageRunning("var r = prompt('Name?', 'x'); window.zuvowebkitbridge.postLog('prompt:' + r);"));
    _server.setPage("/download", pageRunning("document.getElementById('file').click();"));
    _server.setPage("/userinfo", pageRunning("window.zuvowebkitbridge.getCurrentUserInfo();"));
    _server.setResponse("/file.bin", {200, "application/octet-stream", QByteArray(64, 'z'),
                                      {{"Content-Disposition", "attachment; filename=\"file.bin\""}}});
}

bool tst_Window::startBrowser(const QString &rect, const QByteArray &path)
{
    _browser = std::make_unique<BrowserRun>();
    _browser->process().setProcessChannelMode(QProcess::MergedChannels);
    if (!_browser->start(timeout))
        return false;
    _browser->configure(settingsAt(rect));
    _browser->showUrl(_server.url(QString::fromLatin1(path)));
    _window = _browser->waitForWindow(timeout);
    return _window != 0;
}

void tst_Window::linkEndDuringDialogExitsCleanly_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("opens"); // "window": a dialog window; else what shows it is open
    QTest::newRow("save dialog") << QByteArray("/download") << QStringLiteral("window");
    QTest::newRow("page alert") << QByteArray("/alert") << QStringLiteral("window");
    QTest::newRow("page confirm") << QByteArray("/confirm") << QStringLiteral("window");
    QTest::newRow("page prompt") << QByteArray("/prompt") << QStringLiteral("window");
    QTest::newRow("message box") << QByteArray("/plain") << QStringLiteral("box");
    QTest::newRow("user-information wait") << QByteArray("/userinfo") << QStringLiteral("currentuserinfo");
}

void tst_Window::linkEndDuringDialogExitsCleanly()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, opens);
    QVERIFY(startBrowser(QStringLiteral("300,200,800,600,0"), path));

    if (opens == QLatin1String("window")) {
        QTRY_COMPARE_WITH_TIMEOUT(x11::visibleWindowsOf(_browser->pid()).size(), 2, timeout);
    } else if (opens == QLatin1String("box")) {
        _browser->send(QStringLiteral("event"), QStringLiteral("showBoxMessage"), QStringLiteral("Saved"));
        // The dimming layer over the page says the box is up.
        const QPoint page = x11::clientGeometry(_window).bottomLeft() + QPoint(30, -30);
        parkPointer();
        QTRY_VERIFY_WITH_TIMEOUT(!nearWhite(x11::screenshot().pixel(page), 3), timeout);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(opens).size(), 1, timeout);
    }

    QProcess &process = _browser->process();
    QElapsedTimer sinceClose;
    sinceClose.start();
    _browser->host().closeConnection();
    QVERIFY(process.waitForFinished(10000));
    const qint64 exitedAfter = sinceClose.elapsed();
    const QString output = QString::fromLocal8Bit(process.readAll());
    QVERIFY2(process.exitStatus() == QProcess::NormalExit, qPrintable(output.right(3000)));
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(exitedAfter >= 450 && exitedAfter < 3000, qPrintable(QString::number(exitedAfter)));
    // A download whose dialog the end of the link closed asks the host for nothing.
    QVERIFY2(!output.contains(QLatin1String("onDownloadRequested")), qPrintable(output.right(3000)));
}

void tst_Window::newAddressClosesPageDialog()
{
    QVERIFY(startBrowser(QStringLiteral("300,200,800,600,0"), "/confirm"));
    QTRY_COMPARE_WITH_TIMEOUT(x11::visibleWindowsOf(_browser->pid()).size(), 2, timeout);

    _browser->showUrl(_server.url(QStringLiteral("/plain")));
    QTRY_COMPARE_WITH_TIMEOUT(_server.requestsFor("/plain").size(), 1, timeout);
    QTRY_COMPARE_WITH_TIMEOUT(x11::visibleWindowsOf(_browser->pid()), QList<x11::WindowId>{_window}, timeout);
    // Closed as its cancel: the page's confirm answered no.
    QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(QStringLiteral("receiveLog")), QStringList{QStringLiteral("confirm:false")},
                              timeout);
}

void tst_Window::firstReportAndExactEdgeDrags()
{
    QElapsedTimer sinceShown;
    QVERIFY(startBrowser(QStringLiteral("300,200,800,600,0"), "/plain"));
    sinceShown.start();
    QTRY_COMPARE_WITH_TIMEOUT(x11::clientGeometry(_window), QRect(300, 200, 800, 600), timeout);

    // The first report is the frame openbox drew, and comes within two seconds.
    QTRY_VERIFY_WITH_TIMEOUT(!_browser->texts(QStringLiteral("savePosition")).isEmpty(), 3000);
    QVERIFY2(sinceShown.elapsed() <= 2000, qPrintable(QString::number(sinceShown.elapsed())));
    const QRect frame = x11::frameGeometry(_window);
    QVERIFY2(frame != x11::clientGeometry(_window), "openbox drew no frame");
    QCOMPARE(_browser->texts(QStringLiteral("savePosition")).first(), ZuvoChatWebBroswer::positionText(frame, false));

    // The right edge follows the pointer; the other three stay to the pixel.
    const ContentLayout layout(QSize(800, 600));
    const QPoint right = QPoint(300, 200) + layout.rightEdgeSpot();
    x11::drag(right, right + QPoint(80, 0));
    parkPointer();
    QTRY_COMPARE_WITH_TIMEOUT(x11::clientGeometry(_window), QRect(300, 200, 880, 600), 5000);

    // The left edge dragged far to the right stops at the window's minimum
    // width, its right edge where it was.
    const QPoint left = QPoint(300, 200) + ContentLayout::contentOffset() + QPoint(2, layout.titleHeight() / 2);
    x11::drag(left, left + QPoint(500, 0));
    parkPointer();
    QTRY_COMPARE_WITH_TIMEOUT(x11::clientGeometry(_window), QRect(300 + 880 - 520, 200, 520, 600), 5000);
}

void tst_Window::savedPositionIsBroughtOnScreen_data()
{
    // The one screen is 1600 x 1200, with no panel.
    QTest::addColumn<QRect>("saved");
    QTest::addColumn<QSize>("size");       // of the window's own area; 0: as large as the screen allows
    QTest::addColumn<QRect>("frameAt");    // the frame's edges that are known, the others 0
    QTest::newRow("on a screen unplugged, right of this one")
        << QRect(3000, 300, 800, 600) << QSize(800, 600) << QRect(QPoint(0, 0), QPoint(1599, 0));
    QTest::newRow("half off the bottom") << QRect(200, 900, 700, 600) << QSize(700, 600)
                                         << QRect(QPoint(0, 0), QPoint(0, 1199));
    QTest::newRow("taller than the screen") << QRect(100, -50, 600, 1400) << QSize(600, 0)
                                            << QRect(QPoint(0, 0), QPoint(0, 1199));
    QTest::newRow("fits") << QRect(211, 157, 733, 521) << QSize(733, 521) << QRect();
}

void tst_Window::savedPositionIsBroughtOnScreen()
{
    QFETCH(QRect, saved);
    QFETCH(QSize, size);
    QFETCH(QRect, frameAt);
    const QString rect =
        QStringLiteral("%1,%2,%3,%4,0").arg(saved.x()).arg(saved.y()).arg(saved.width()).arg(saved.height());
    QVERIFY(startBrowser(rect, "/plain"));
    QTRY_VERIFY_WITH_TIMEOUT(!x11::frameExtents(_window).isNull(), timeout);
    const QRect client = x11::clientGeometry(_window);
    const QRect frame = x11::frameGeometry(_window);

    if (frameAt.isNull()) {
        // A rectangle that fits is used as it stands, to the pixel.
        QCOMPARE(client, saved);
        return;
    }
    QVERIFY2(QRect(0, 0, 1600, 1200).contains(frame), qPrintable(QStringLiteral("frame %1,%2 %3x%4")
                                                                     .arg(frame.x()).arg(frame.y())
                                                                     .arg(frame.width()).arg(frame.height())));
    if (frameAt.right() > 0)
        QCOMPARE(frame.right(), frameAt.right());
    if (frameAt.bottom() > 0)
        QCOMPARE(frame.bottom(), frameAt.bottom());
    if (size.width() > 0)
        QCOMPARE(client.width(), size.width());
    if (size.height() > 0) {
        QCOMPARE(client.height(), size.height());
    } else {
        QCOMPARE(frame.top(), 0);
    }
    // Moved only across the edge it was beyond.
    if (frameAt.right() > 0)
        QCOMPARE(client.y(), saved.y());
    else
        QCOMPARE(client.x(), saved.x());
}

QTEST_MAIN(tst_Window)
#include "x11_window.moc"
