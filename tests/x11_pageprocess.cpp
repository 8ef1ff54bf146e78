// What a page process of its own gives the WebEngine build, with the real
// browser process on the X server: a page whose script never yields, and a
// page process that is killed, leave the window and the host link working,
// and when the link ends no process of its tree outlives the browser, even
// one whose page never yields.
#include "browserrun.h"
#include "contentlayout.h"
#include "httpfixture.h"
#include "x11driver.h"
#include "zuvochatwbconfigure.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <iterator>

#include <signal.h>
#include <unistd.h>

using testsupport::HttpFixture;

namespace {

const int timeout = 15000;

const HostSettings settings = {
    {QStringLiteral("title"), QStringLiteral("Zuvo Page Process")},
    {QStringLiteral("windowsRect"), QStringLiteral("300,200,800,560")},
};

const QByteArray hangingPage = R"(<!doctype html><html><head><title>hang</title></head>
<body><script>for (;;) {}</script></body></html>)";

const QByteArray alivePage = R"(<!doctype html><html><head><title>alive</title></head>
<body style="background:#ffffff"><script>
window.zuvowebkitbridge.postLog('alive');
</script></body></html>)";

// The processes below pid, children first found first.
QList<qint64> descendantsOf(qint64 pid)
{
    QHash<qint64, qint64> parents;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 child = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // The name in parentheses may hold spaces; the parent follows the state.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            parents.insert(child, fields[1].toLongLong());
    }
    QList<qint64> found{pid};
    for (int i = 0; i < found.size(); ++i) {
        for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
            if (it.value() == found[i])
                found.append(it.key());
        }
    }
    found.removeFirst();
    return found;
}

QByteArray commandLineOf(qint64 pid)
{
    QFile command(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return command.open(QIODevice::ReadOnly) ? command.readAll() : QByteArray();
}

qint64 parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toLongLong();
}

// WebKit's web process, or a Chromium renderer: what a zygote forked, which
// keeps the zygote's command line.
bool isPageProcess(qint64 pid)
{
    return commandLineOf(pid).contains("WebKitWebProcess")
        || commandLineOf(parentOf(pid)).contains("--type=zygote");
}

bool isAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

} // namespace

class tst_PageProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sandboxIsOffOnlyForRoot();
    void hangingPageLeavesWindowAndLinkWorking();
    void killedPageProcessSaysSoAndNextAddressLoads_data();
    void killedPageProcessSaysSoAndNextAddressLoads();
    void startedAheadShowsFirstPageInItsPreparedProcess();
    void noProcessOutlivesTheBrowser_data();
    void noProcessOutlivesTheBrowser();

private:
    void showAndWaitAlive();
    void clickButton(const char *objectName);
    QRect client() const { return x11::clientGeometry(_window); }

    HttpFixture _server;
    std::unique_ptr<BrowserRun> _browser;
    x11::WindowId _window = 0;
    QByteArray _stderr;
};

void tst_PageProcess::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(_server.listenOn());
    _server.setPage("/hang", hangingPage);
    _server.setPage("/alive", alivePage);
}

void tst_PageProcess::init()
{
    _stderr.clear();
    _browser = std::make_unique<BrowserRun>();
    QProcess *process = &_browser->process();
    connect(process, &QProcess::readyReadStandardError, this,
            [this, process] { _stderr += process->readAllStandardError(); });
    QVERIFY(_browser->start(timeout));
    _browser->configure(settings);
    showAndWaitAlive();
    _window = _browser->waitForWindow(timeout);
    QVERIFY2(_window, "the browser mapped no window");
}

void tst_PageProcess::cleanup()
{
    if (QTest::currentTestFailed())
        qInfo("browser said:\n%s", _stderr.right(3000).constData());
    _browser.reset();
    _window = 0;
}

void tst_PageProcess::showAndWaitAlive()
{
    const int before = _browser->texts(QStringLiteral("receiveLog")).size();
    _browser->showUrl(_server.url(QStringLiteral("/alive")));
    QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(QStringLiteral("receiveLog")).size(), before + 1, timeout);
}

void tst_PageProcess::clickButton(const char *objectName)
{
    const ContentLayout layout(client().size());
    const QRect button = layout.rectOf(objectName);
    QVERIFY2(!button.isEmpty(), objectName);
    x11::click(client().topLeft() + button.center());
}

void tst_PageProcess::sandboxIsOffOnlyForRoot()
{
    const bool warned = _stderr.contains("sandbox cannot start and is turned off");
    QCOMPARE(warned, geteuid() == 0);
}

void tst_PageProcess::hangingPageLeavesWindowAndLinkWorking()
{
    _browser->showUrl(_server.url(QStringLiteral("/hang")));
    QTRY_VERIFY_WITH_TIMEOUT(!_server.requestsFor("/hang").isEmpty(), timeout);
    QTest::qWait(500); // the script is spinning by now

    // The title bar still answers the user, and the host hears of it.
    const int refreshes = _browser->texts(QStringLiteral("refresh")).size();
    clickButton("refresh");
    QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(QStringLiteral("refresh")).size(), refreshes + 1, timeout);

    // The host's next address replaces the hanging page.
    QElapsedTimer replaced;
    replaced.start();
    showAndWaitAlive();
    qInfo("the next address replaced the hanging page in %lld ms", replaced.elapsed());
}

void tst_PageProcess::killedPageProcessSaysSoAndNextAddressLoads_data()
{
    QTest::addColumn<QByteArray>("marker");
    QTest::newRow("the page process") << QByteArray("zuvo.web: page process ");
    // WebKitGTK's runs the page process and the engine's own network process.
    if (BrowserRun::underTest().endsWith(QLatin1String("-webkitgtk")))
        QTest::newRow("the helper that holds the engine") << QByteArray("zuvo.web: page helper ");
}

void tst_PageProcess::killedPageProcessSaysSoAndNextAddressLoads()
{
    // The browser names its page process, and its helper where it has one.
    QFETCH(QByteArray, marker);
    // Named once loaded, which may come after the page's first words.
    QTRY_VERIFY2_WITH_TIMEOUT(_stderr.contains(marker), "the browser named no such process", timeout);
    const int at = _stderr.lastIndexOf(marker);
    const qint64 renderer = _stderr.mid(at + marker.size()).split('\n').first().toLongLong();
    QVERIFY(descendantsOf(_browser->pid()).contains(renderer));
    ::kill(pid_t(renderer), SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(_stderr.contains("page process ended"), timeout);
    // The notice covers the page: dark words on the page's place, once drawn.
    x11::keepScreenshot(x11::screenshot(), QStringLiteral("pageprocess-crashed-")
                                               + QFileInfo(BrowserRun::underTest()).fileName());
    QCOMPARE(_browser->process().state(), QProcess::Running);

    showAndWaitAlive();
}

void tst_PageProcess::startedAheadShowsFirstPageInItsPreparedProcess()
{
    // Given a host that starts the browser ahead of a click and waits, the
    // browser starts its page process while no window shows and without a
    // word to the host; the first address then loads in that process.
    QByteArray output;
    QTemporaryDir dir;
    BrowserRun early(BrowserRun::copyInto(dir));
    connect(&early.process(), &QProcess::readyReadStandardError, this,
            [&output, &early] { output += early.process().readAllStandardError(); });
    x11::MapWatcher watcher;
    QVERIFY(watcher.start(timeout));
    QVERIFY(watcher.mark(timeout));
    QVERIFY(early.start(timeout));
    const auto pageProcesses = [&early] {
        QList<qint64> found = descendantsOf(early.pid());
        found.erase(std::remove_if(found.begin(), found.end(), [](qint64 pid) { return !isPageProcess(pid); }),
                    found.end());
        return found;
    };
    QTRY_VERIFY_WITH_TIMEOUT(!pageProcesses().isEmpty(), timeout);
    const QList<qint64> prepared = pageProcesses();
    QVERIFY(watcher.mark(timeout));
    QCOMPARE(watcher.mappedBetweenMarks(), QStringList());
    QCOMPARE(early.host().received().size(), 0);

    early.configure(settings);
    early.showUrl(_server.url(QStringLiteral("/alive")));
    QTRY_COMPARE_WITH_TIMEOUT(early.texts(QStringLiteral("receiveLog")).size(), 1, timeout);
    const QByteArray marker = "zuvo.web: page process ";
    QTRY_VERIFY_WITH_TIMEOUT(output.contains(marker), timeout);
    const qint64 shownIn = output.mid(output.lastIndexOf(marker) + marker.size()).split('\n').first().toLongLong();
    QVERIFY2(prepared.contains(shownIn), qPrintable(QStringLiteral("shown in %1, prepared %2").arg(shownIn).arg(prepared.size())));
}

void tst_PageProcess::noProcessOutlivesTheBrowser_data()
{
    QTest::addColumn<QString>("shownPath");
    QTest::newRow("a page at rest") << QStringLiteral("/alive");
    // Its process never reads that the browser has gone.
    QTest::newRow("a page whose script never yields") << QStringLiteral("/hang");
}

void tst_PageProcess::noProcessOutlivesTheBrowser()
{
    QFETCH(QString, shownPath);
    _server.clearRequests();
    _browser->showUrl(_server.url(shownPath));
    QTRY_VERIFY_WITH_TIMEOUT(!_server.requestsFor(shownPath.toUtf8()).isEmpty(), timeout);
    QTest::qWait(500); // a script is spinning by now

    const QList<qint64> tree = descendantsOf(_browser->pid());
    QVERIFY2(!tree.isEmpty(), "the browser started no process of its own");
    _browser->host().closeConnection();
    QVERIFY(_browser->process().waitForFinished(timeout));
    QCOMPARE(_browser->process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(_browser->process().exitCode(), 0);
    QTest::qWait(2000);
    QList<qint64> alive;
    std::copy_if(tree.begin(), tree.end(), std::back_inserter(alive), isAlive);
    for (const qint64 pid : alive) {
        QFile name(QStringLiteral("/proc/%1/comm").arg(pid));
        name.open(QIODevice::ReadOnly);
        qInfo("still running 2 s after the browser: %lld %s", pid, name.readAll().trimmed().constData());
        ::kill(pid_t(pid), SIGKILL);
    }
    QVERIFY(alive.isEmpty());
}

QTEST_MAIN(tst_PageProcess)
#include "x11_pageprocess.moc"
