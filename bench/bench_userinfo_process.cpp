// Round trip of window.zuvowebkitbridge.getCurrentUserInfo() through the real
// browser process, whichever engine the executable given as argument draws
// with: a page served over HTTP on loopback times the calls with
// performance.now(), against postMessage(''), which enters the browser and
// returns without asking the host. The host answers at once; the page sends
// its medians back with postLog. The browser runs from a copy in a folder of
// its own, so its endpoint is this program's alone.
#include "browserrun.h"
#include "httpfixture.h"
#include "processbench.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kCalls = 200;
constexpr int kTimeoutMs = 60000;
const char *const kReportPrefix = "bench:";
const QString kUserInfo = QStringLiteral("{\"name\":\"bench\"}");

// The mean over the whole loop as well. Warm-up calls first: the first call
// into the bridge also starts its wait.
QByteArray benchPage()
{
    return QByteArrayLiteral(R"(<!doctype html><html><body>bench<script>
function median(samples) {
    samples.sort(function (a, b) { return a - b; });
    var middle = samples.length >> 1;
    return samples.length % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}
// Each sample the mean of a batch of calls, so that a clock coarser than a
// call (both WebKits' steps by 1 ms) still yields a median.
function timeCalls(count, call, batch) {
    var samples = [], answered = 0, begin = performance.now();
    for (var i = 0; i < count; i += batch) {
        var start = performance.now();
        for (var j = 0; j < batch; ++j) {
            if (call()) ++answered;
        }
        samples.push((performance.now() - start) / batch);
    }
    var mean = (performance.now() - begin) / count;
    return { median: median(samples), mean: mean, answered: answered };
}
// The smallest step the page's clock takes, which bounds what a median can say.
function clockStep() {
    var step = Infinity;
    for (var i = 0; i < 5; ++i) {
        var start = performance.now(), now;
        while ((now = performance.now()) === start) {}
        step = Math.min(step, now - start);
    }
    return step;
}
function run() {
    var bridge = window.zuvowebkitbridge;
    if (!bridge) { setTimeout(run, 50); return; }
    var userInfo = function () { return bridge.getCurrentUserInfo(); };
    var message = function () { return bridge.postMessage(''); };
    timeCalls(5, userInfo, 1);
    timeCalls(5, message, 1);
    var step = clockStep(), batch = step > 0.05 ? 10 : 1;
    var report = { clockStep: step, batch: batch, userInfo: timeCalls(CALLS, userInfo, batch), baseline: timeCalls(CALLS, message, batch) };
    bridge.postLog('PREFIX' + JSON.stringify(report));
}
window.addEventListener('load', function () { setTimeout(run, 0); });
</script></body></html>)")
        .replace("CALLS", QByteArray::number(kCalls))
        .replace("PREFIX", kReportPrefix);
}

// The page's report, or an empty object when none came in time.
QJsonObject waitForReport(BrowserRun &browser)
{
    QDeadlineTimer deadline(kTimeoutMs);
    while (!deadline.hasExpired() && browser.process().state() != QProcess::NotRunning) {
        for (const QString &log : browser.texts(QStringLiteral("receiveLog"))) {
            if (log.startsWith(QLatin1String(kReportPrefix)))
                return QJsonDocument::fromJson(log.mid(int(qstrlen(kReportPrefix))).toUtf8()).object();
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return {};
}

void printRow(const char *name, const QJsonObject &figures, int calls)
{
    std::printf("%-28s median %7.3f ms   mean %7.3f ms   answered %d/%d\n", name,
                figures.value("median").toDouble(), figures.value("mean").toDouble(),
                figures.value("answered").toInt(), calls);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s BROWSER-EXECUTABLE\n", argv[0]);
        return 2;
    }
    ProcessBench bench;
    if (!bench.setUp(argv[1]))
        return 1;
    testsupport::HttpFixture &server = bench.server;
    const QString &executable = bench.executable;
    server.setPage("/bench", benchPage());

    BrowserRun browser(executable);
    browser.answerUserInfo(kUserInfo);
    if (!browser.start(kTimeoutMs)) {
        std::fprintf(stderr, "the browser did not connect\n");
        return 1;
    }
    browser.showUrl(server.url(QStringLiteral("/bench")));
    const QJsonObject report = waitForReport(browser);
    if (report.isEmpty()) {
        std::fprintf(stderr, "no report from the page\n");
        return 1;
    }
    std::printf("getCurrentUserInfo through the browser process %s, host answering at once, %d calls\n",
                qPrintable(QFileInfo(argv[1]).fileName()), kCalls);
    printRow("getCurrentUserInfo()", report.value("userInfo").toObject(), kCalls);
    printRow("baseline postMessage('')", report.value("baseline").toObject(), kCalls);
    std::printf("%-28s %.3f ms (median of the means of batches of %d calls)\n", "page clock step",
                report.value("clockStep").toDouble(), report.value("batch").toInt());
    std::fflush(stdout);
    return 0;
}
