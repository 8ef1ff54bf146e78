// The browser window on a desktop that frames it (Xvfb with openbox): the
// real process, its host in this test, real pointer input. Each case starts a
// browser of its own, because each ends it or needs a fresh start: the link
// ending while a dialog is open or behind a page script that never yields, a
// new address closing a page's dialog, the first position report and exact
// edge drags, a saved position on a screen that is no longer there, and
// restarts that hand each report back.
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

QRect rectOfReport(const QString &report)
{
    const QStringList parts = report.split(QLatin1Char(','));
    if (parts.size() != 5)
        return QRect();
    return QRect(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt());
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
    void linkEndBehindHangingPageExits();
    void closedByWindowManagerExitsCleanly();
    void firstReportAndExactEdgeDrags();
    void hostRectangleStaysInDisplayPixelsOnADenseScreen();
    void savedPositionIsBroughtOnScreen_data();
    void savedPositionIsBroughtOnScreen();
    void reportFedBackKeepsTheFrame_data();
    void reportFedBackKeepsTheFrame();

private:
    // A browser on its own process showing path, its window mapped.
    bool startBrowser(const QString &rect, const QByteArray &path,
                      const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    // A double click on openbox's title bar, as a user maximises and restores.
    void toggleMaximisedByTitleBar();

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
    // The synchronous request tells the test the script runs; then it never yields.
    _server.setPage("/hang", "<!doctype html><html><body><script>"
                             "var r = new XMLHttpRequest(); r.open('GET', '/running', false); r.send();"
                             "for (;;) {}</script></body></html>");
    _server.setResponse("/running", {200, "text/plain", "yes", {}});
    _server.setResponse("/file.bin", {200, "application/octet-stream", QByteArray(64, 'z'),
                                      {{"Content-Disposition", "attachment; filename=\"file.bin\""}}});
}

bool tst_Window::startBrowser(const QString &rect, const QByteArray &path, const QProcessEnvironment &environment)
{
    _browser = std::make_unique<BrowserRun>();
    _browser->process().setProcessChannelMode(QProcess::MergedChannels);
    _browser->process().setProcessEnvironment(environment);
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

void tst_Window::closedByWindowManagerExitsCleanly()
{
    // Alt+F4, as a user closes any window: the window manager asks the window
    // to close rather than the title bar's own button, and the browser must
    // end as cleanly, with its page loaded and the link still open.
    const int shownBefore = _server.requestsFor("/plain").size();
    QVERIFY(startBrowser(QStringLiteral("300,200,800,600,0"), "/plain"));
    QTRY_VERIFY_WITH_TIMEOUT(_server.requestsFor("/plain").size() > shownBefore, timeout);
    x11::activateWindow(_window);
    x11::pressKeys({QStringLiteral("alt+F4")});

    QProcess &process = _browser->process();
    QVERIFY(process.waitForFinished(10000));
    const QString output = QString::fromLocal8Bit(process.readAll());
    QVERIFY2(process.exitStatus() == QProcess::NormalExit, qPrintable(output.right(3000)));
    QCOMPARE(process.exitCode(), 0);
}

void tst_Window::linkEndBehindHangingPageExits()
{
    QVERIFY(startBrowser(QStringLiteral("300,200,800,600,0"), "/hang"));
    QTRY_COMPARE_WITH_TIMEOUT(_server.requestsFor("/running").size(), 1, timeout);

    QProcess &process = _browser->process();
    QElapsedTimer sinceClose;
    sinceClose.start();
    _browser->host().closeConnection();
    QVERIFY(process.waitForFinished(5000));
    qInfo("gone %lld ms after the link closed", sinceClose.elapsed());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

void tst_Window::firstReportAndExactEdgeDrags()
{
    QElapsedTimer sinceShown;
    QVERIFY(startBrowser(QStringLiteral("300,200,800,600,0"), "/plain"));
    sinceShown.start();
    // The host's rectangle is where the frame openbox draws goes.
    QTRY_VERIFY_WITH_TIMEOUT(!x11::frameExtents(_window).isNull(), timeout);
    QTRY_COMPARE_WITH_TIMEOUT(x11::frameGeometry(_window), QRect(300, 200, 800, 600), timeout);
    const QRect client = x11::clientGeometry(_window);
    QVERIFY2(client != QRect(300, 200, 800, 600), "openbox drew no frame");

    // The first report is that frame, and comes within two seconds.
    QTRY_VERIFY_WITH_TIMEOUT(!_browser->texts(QStringLiteral("savePosition")).isEmpty(), 3000);
    QVERIFY2(sinceShown.elapsed() <= 2000, qPrintable(QString::number(sinceShown.elapsed())));
    QCOMPARE(_browser->texts(QStringLiteral("savePosition")).first(), QStringLiteral("300,200,800,600,0"));

    // The right edge follows the pointer; the other three stay to the pixel.
    const ContentLayout layout(client.size());
    const QPoint right = client.topLeft() + layout.rightEdgeSpot();
    x11::drag(right, right + QPoint(80, 0));
    parkPointer();
    const QRect wider = client.adjusted(0, 0, 80, 0);
    QTRY_COMPARE_WITH_TIMEOUT(x11::clientGeometry(_window), wider, 5000);

    // The left edge dragged far to the right stops at the window's minimum
    // width, its right edge where it was.
    const QPoint left = client.topLeft() + ContentLayout::contentOffset() + QPoint(2, layout.titleHeight() / 2);
    x11::drag(left, left + QPoint(500, 0));
    parkPointer();
    QTRY_COMPARE_WITH_TIMEOUT(x11::clientGeometry(_window), wider.adjusted(wider.width() - 520, 0, 0, 0), 5000);
}

// The window scales itself by the screen's DPI, with the toolkit at one
// display pixel per pixel, so the host's rectangle and the reports are the
// display's pixels on a 120 DPI screen as well; a toolkit scaling by the DPI
// on its own would make the frame 1000 x 750.
void tst_Window::hostRectangleStaysInDisplayPixelsOnADenseScreen()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_FONT_DPI"), QStringLiteral("120"));
    QVERIFY(startBrowser(QStringLiteral("300,200,800,600,0"), "/plain", environment));
    QTRY_VERIFY_WITH_TIMEOUT(!x11::frameExtents(_window).isNull(), timeout);
    QTRY_COMPARE_WITH_TIMEOUT(x11::frameGeometry(_window), QRect(300, 200, 800, 600), timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!_browser->texts(QStringLiteral("savePosition")).isEmpty(), 3000);
    QCOMPARE(_browser->texts(QStringLiteral("savePosition")).first(), QStringLiteral("300,200,800,600,0"));
}

void tst_Window::savedPositionIsBroughtOnScreen_data()
{
    // The one screen is 1600 x 1200, with no panel.
    QTest::addColumn<QRect>("saved");      // a frame, as the window reports it
    QTest::addColumn<QSize>("size");       // of the frame; 0: as large as the screen allows
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
    const QRect frame = x11::frameGeometry(_window);

    if (frameAt.isNull()) {
        // A rectangle that fits is used as it stands, to the pixel.
        QCOMPARE(frame, saved);
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
        QCOMPARE(frame.width(), size.width());
    if (size.height() > 0) {
        QCOMPARE(frame.height(), size.height());
    } else {
        QCOMPARE(frame.top(), 0);
    }
    // Moved only across the edge it was beyond.
    if (frameAt.right() > 0)
        QCOMPARE(frame.y(), saved.y());
    else
        QCOMPARE(frame.x(), saved.x());
}

void tst_Window::reportFedBackKeepsTheFrame_data()
{
    QTest::addColumn<QString>("chosen"); // what the host sends at the first start
    QTest::addColumn<bool>("userMaximises"); // by openbox's title bar, at the first start
    QTest::newRow("normal") << QStringLiteral("300,200,800,600,0") << false;
    QTest::newRow("maximised by the host") << QStringLiteral("300,200,800,600,1") << false;
    QTest::newRow("maximised by the user") << QStringLiteral("300,200,800,600,0") << true;
}

void tst_Window::reportFedBackKeepsTheFrame()
{
    // The host stores each report and sends it back at the next start.
    QFETCH(QString, chosen);
    QFETCH(bool, userMaximises);
    bool maximised = chosen.endsWith(QLatin1String(",1"));
    const auto settled = [this, &maximised] {
        return ZuvoChatWebBroswer::positionText(x11::frameGeometry(_window), maximised);
    };
    QString stored = chosen;
    QStringList reports;
    for (int start = 1; start <= 5; ++start) {
        if (start > 1)
            _browser.reset();
        QVERIFY(startBrowser(stored, "/plain"));
        QTRY_VERIFY_WITH_TIMEOUT(x11::isMaximised(_window) == maximised && !x11::frameExtents(_window).isNull(),
                                 timeout);
        QTRY_COMPARE_WITH_TIMEOUT(_browser->lastText(QStringLiteral("savePosition")), settled(), timeout);
        if (userMaximises && start == 1) {
            toggleMaximisedByTitleBar();
            maximised = true;
            QTRY_VERIFY_WITH_TIMEOUT(x11::isMaximised(_window), timeout);
            QTRY_COMPARE_WITH_TIMEOUT(_browser->lastText(QStringLiteral("savePosition")), settled(), timeout);
        }
        stored = _browser->lastText(QStringLiteral("savePosition"));
        reports << stored;
    }
    qInfo("reports: %s", qPrintable(reports.join(QLatin1String(" -> "))));
    QCOMPARE(reports.count(reports.first()), 5);
    if (!maximised) {
        // The host's own rectangle is a frame as well.
        QCOMPARE(reports.first(), chosen);
        return;
    }
    toggleMaximisedByTitleBar();
    QTRY_VERIFY_WITH_TIMEOUT(!x11::isMaximised(_window), timeout);
    QTRY_COMPARE_WITH_TIMEOUT(x11::frameGeometry(_window), rectOfReport(stored), timeout);
}

void tst_Window::toggleMaximisedByTitleBar()
{
    const QRect frame = x11::frameGeometry(_window);
    x11::doubleClick(QPoint(frame.center().x(), frame.top() + x11::frameExtents(_window).top() / 2));
    parkPointer();
}

QTEST_MAIN(tst_Window)
#include "x11_window.moc"
