// A page that floods the bridge with logs and channel requests for ten
// seconds, in the real browser, against a host that reads everything and
// against one that reads nothing for those ten seconds. Unbounded, the first
// buried the host in hundreds of MiB of logs while the browser grew by
// hundreds of MB; the second grew the browser for as long as the host was
// busy, and what the user did meanwhile waited behind the page's text.
#include "browserrun.h"
#include "contentlayout.h"
#include "floodpage.h"
#include "httpfixture.h"
#include "processtree.h"
#include "x11driver.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <memory>

using testsupport::HttpFixture;

namespace {

const int timeout = 30000;
const int floodSeconds = 10;
const qint64 allowedGrowthBytes = 100LL * 1000 * 1000;
const qint64 MiB = 1024 * 1024;

const HostSettings settings = {
    {QStringLiteral("title"), QStringLiteral("Zuvo Flood")},
    {QStringLiteral("windowsRect"), QStringLiteral("300,200,800,560")},
    {QStringLiteral("refreshText"), QStringLiteral("Reload")},
};

void parkPointer()
{
    x11::movePointer(QPoint(1590, 5));
}

} // namespace

class tst_Flood : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void floodWithAReadingHost();
    void floodWhileTheHostReadsNothingForTenSeconds();

private:
    void openOnIdlePage();
    void sampleMemory();
    void clickRefresh();
    qint64 logBytesReceived() const;
    void expectTheNextAddressLoads();
    QString memoryReport() const;

    HttpFixture _server;
    std::unique_ptr<BrowserRun> _browser;
    x11::WindowId _window = 0;
    QByteArray _stderr;
    QTimer _sampler;
    qint64 _baselineBytes = 0;
    qint64 _peakBytes = 0;
};

void tst_Flood::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(_server.listenOn());
    _server.setPage("/flood", floodpage::floodPage());
    _server.setPage("/idle", floodpage::idlePage());
    _sampler.setInterval(250);
    connect(&_sampler, &QTimer::timeout, this, &tst_Flood::sampleMemory);
}

void tst_Flood::cleanup()
{
    _sampler.stop();
    _browser.reset();
    _stderr.clear();
}

// The browser on the idle page, its memory then the baseline.
void tst_Flood::openOnIdlePage()
{
    _browser = std::make_unique<BrowserRun>();
    QProcess *process = &_browser->process();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zuvo.link.io.debug=false"));
    // A sanitized build keeps 256 MB of freed memory aside to catch late
    // uses; the page's megabyte texts would fill it and count as growth.
    const QString sanitizer = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       sanitizer + (sanitizer.isEmpty() ? "" : ":") + QStringLiteral("quarantine_size_mb=8"));
    process->setProcessEnvironment(environment);
    connect(process, &QProcess::readyReadStandardError, this,
            [this, process] { _stderr += process->readAllStandardError(); });
    QVERIFY(_browser->start(timeout));
    _browser->configure(settings);
    _browser->showUrl(_server.url(QStringLiteral("/idle")));
    _window = _browser->waitForWindow(timeout);
    QVERIFY2(_window, "the browser mapped no window");
    QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(QStringLiteral("receiveLog")), QStringList{"idle"}, timeout);
    _baselineBytes = processtree::memoryOf(_browser->pid()).pssKiB * 1024;
    _peakBytes = _baselineBytes;
    _sampler.start();
}

void tst_Flood::sampleMemory()
{
    if (_browser)
        _peakBytes = qMax(_peakBytes, processtree::memoryOf(_browser->pid()).pssKiB * 1024);
}

void tst_Flood::clickRefresh()
{
    const QRect client = x11::clientGeometry(_window);
    const QRect button = ContentLayout(client.size()).rectOf("refresh");
    QVERIFY(!button.isEmpty());
    x11::click(client.topLeft() + button.center());
    parkPointer();
}

qint64 tst_Flood::logBytesReceived() const
{
    qint64 bytes = 0;
    for (const QString &text : _browser->texts(QStringLiteral("receiveLog")))
        bytes += text.toUtf8().size();
    return bytes;
}

// A new document starts with a full budget, whatever the last one spent.
void tst_Flood::expectTheNextAddressLoads()
{
    _browser->showUrl(_server.url(QStringLiteral("/idle")));
    QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(QStringLiteral("receiveLog")).count(QStringLiteral("idle")), 2, timeout);
}

QString tst_Flood::memoryReport() const
{
    return QStringLiteral("baseline %1 MB, peak %2 MB").arg(_baselineBytes / 1000000).arg(_peakBytes / 1000000);
}

void tst_Flood::floodWithAReadingHost()
{
    openOnIdlePage();
    QElapsedTimer flooding;
    flooding.start();
    _browser->showUrl(_server.url(QStringLiteral("/flood")));
    QTRY_VERIFY_WITH_TIMEOUT(_browser->texts(QStringLiteral("receiveLog")).contains(QStringLiteral("flood over")),
                             timeout + floodSeconds * 1000);
    sampleMemory();

    QVERIFY2(_peakBytes - _baselineBytes < allowedGrowthBytes, qPrintable(memoryReport()));
    // At most a mebibyte of page text in each second the flood ran, and no
    // channel request: each was a mebibyte long.
    const qint64 bound = (flooding.elapsed() / 1000 + 2) * MiB;
    QVERIFY2(logBytesReceived() <= bound, qPrintable(QString::number(logBytesReceived())));
    QVERIFY(logBytesReceived() > 0);
    QVERIFY(_browser->texts(QStringLiteral("gotoChannel")).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(_stderr.contains("page messages not sent to the host in the last second"), timeout);
    expectTheNextAddressLoads();
}

void tst_Flood::floodWhileTheHostReadsNothingForTenSeconds()
{
    openOnIdlePage();
    QElapsedTimer busy;
    busy.start();
    _browser->host().holdReading(true);
    _browser->showUrl(_server.url(QStringLiteral("/flood")));

    // What the user does while the page floods and the host is busy.
    QTest::qWait(3000);
    clickRefresh();
    const QRect before = x11::clientGeometry(_window);
    x11::moveWindow(_window, before.topLeft() + QPoint(40, 30));
    QTRY_VERIFY_WITH_TIMEOUT(x11::clientGeometry(_window).topLeft() != before.topLeft(), timeout);
    const QString moved = ZuvoChatWebBroswer::positionText(x11::frameGeometry(_window), false);
    QTest::qWait(int(qMax<qint64>(0, floodSeconds * 1000 - busy.elapsed())));
    sampleMemory();
    QVERIFY(_browser->texts(QStringLiteral("refresh")).isEmpty());

    _browser->host().holdReading(false);
    QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(QStringLiteral("refresh")).size(), 1, timeout);
    QTRY_COMPARE_WITH_TIMEOUT(_browser->lastText(QStringLiteral("savePosition")), moved, timeout);
    QVERIFY2(_peakBytes - _baselineBytes < allowedGrowthBytes, qPrintable(memoryReport()));
    expectTheNextAddressLoads();
}

QTEST_MAIN(tst_Flood)
#include "x11_flood.moc"
