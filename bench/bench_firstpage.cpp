// From the host's click to the page's onload, in the real browser process of
// each executable given, two ways:
//   cold         the host starts the browser and sends the window's place and
//                the address as soon as the link is up; timed from the start;
//   pre-started  the host started the browser ahead of time and it has waited
//                3 s on the link (--wait MS: so long instead, to see when
//                its preparation is done); timed from the address.
// Also the proportional memory of the pre-started browser with every process
// below it while it waits. Starts alternate between executables and modes, so
// drift on the machine weighs on all alike. Run it on an X server:
//   scripts/with-x.sh build/bench/bench_firstpage [--runs N] [--wait MS] EXECUTABLE...
#include "browserrun.h"
#include "httpfixture.h"
#include "median.h"
#include "processbench.h"
#include "processtree.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

constexpr int kTimeoutMs = 30000;
constexpr int kPrestartWaitMs = 3000;
const QString kWindowsRect = QStringLiteral("200,150,900,640");

// Tells its server it has loaded; the query keeps each start's own.
QByteArray firstPage()
{
    return QByteArrayLiteral("<!doctype html><html><head><title>first</title></head>"
                             "<body onload=\"new Image().src = '/onload' + location.search\">first page</body></html>");
}

void waitMs(int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(deadline.remainingTime()));
}

struct Start {
    double ms = 0;
    TreeMemory idle; // pre-started only
};

class FirstPageBench
{
public:
    FirstPageBench(ProcessBench &bench, int prestartWaitMs)
        : _bench(bench)
        , _prestartWaitMs(prestartWaitMs)
    {
        _bench.server.setPage("/first", firstPage());
        _bench.server.setResponse("/onload", {404, "text/plain", {}, {}});
    }

    std::optional<Start> run(bool prestart)
    {
        const QByteArray marker = "/onload?" + QByteArray::number(++_starts);
        QElapsedTimer clock;
        std::optional<double> loadedAt;
        const QMetaObject::Connection watch = QObject::connect(
            &_bench.server, &testsupport::HttpFixture::requestReceived, [&](const testsupport::HttpRequest &request) {
                if (request.path == marker && !loadedAt)
                    loadedAt = clock.nsecsElapsed() / 1e6;
            });
        const QUrl address = _bench.server.url(QStringLiteral("/first?") + QString::number(_starts));

        Start start;
        auto browser = std::make_unique<BrowserRun>(_bench.executable);
        const auto show = [&browser, &address] {
            browser->send(QStringLiteral("config"), QStringLiteral("windowsRect"), kWindowsRect);
            browser->showUrl(address);
        };
        if (!prestart)
            QObject::connect(&browser->host(), &HostLink::connected, show);
        clock.start();
        if (!browser->start(kTimeoutMs)) {
            std::fprintf(stderr, "%s did not connect\n", qPrintable(_bench.executable));
            return std::nullopt;
        }
        if (prestart) {
            waitMs(_prestartWaitMs);
            start.idle = processtree::memoryOf(browser->pid());
            clock.restart();
            show();
        }
        const QDeadlineTimer deadline(kTimeoutMs);
        while (!loadedAt && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QObject::disconnect(watch);
        if (!loadedAt) {
            std::fprintf(stderr, "%s: no onload\n", qPrintable(_bench.executable));
            return std::nullopt;
        }
        start.ms = *loadedAt;
        return start;
    }

private:
    ProcessBench &_bench;
    const int _prestartWaitMs;
    int _starts = 0;
};

struct Figures {
    QString name;
    std::unique_ptr<ProcessBench> bench;
    std::unique_ptr<FirstPageBench> first;
    std::vector<double> cold;
    std::vector<double> prestarted;
    std::vector<double> idleMb;
    int idleProcesses = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    int runs = 5;
    int prestartWaitMs = kPrestartWaitMs;
    std::vector<Figures> executables;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
            continue;
        }
        if (std::strcmp(argv[i], "--wait") == 0 && i + 1 < argc) {
            prestartWaitMs = std::max(0, std::atoi(argv[++i]));
            continue;
        }
        Figures figures;
        figures.name = QFileInfo(QString::fromLocal8Bit(argv[i])).fileName();
        figures.bench = std::make_unique<ProcessBench>();
        if (!figures.bench->setUp(argv[i]))
            return 1;
        figures.first = std::make_unique<FirstPageBench>(*figures.bench, prestartWaitMs);
        executables.push_back(std::move(figures));
    }
    if (executables.empty()) {
        std::fprintf(stderr, "usage: %s [--runs N] [--wait MS] EXECUTABLE...\n", argv[0]);
        return 2;
    }

    for (int run = 0; run < runs; ++run) {
        for (Figures &figures : executables) {
            for (const bool prestart : {false, true}) {
                const std::optional<Start> start = figures.first->run(prestart);
                if (!start)
                    return 1;
                (prestart ? figures.prestarted : figures.cold).push_back(start->ms);
                if (prestart) {
                    figures.idleMb.push_back(start->idle.pssKiB / 1024.0);
                    figures.idleProcesses = start->idle.processes;
                }
            }
        }
    }

    std::printf("to onload, medians of %d starts          cold    pre-started   idle pre-started (pss, processes)\n",
                runs);
    const double reference = median(executables.front().prestarted);
    for (const Figures &figures : executables) {
        const double prestarted = median(figures.prestarted);
        std::printf("%-36s %7.1f ms %8.1f ms (%.2f x)   %6.1f MB, %d\n", qPrintable(figures.name),
                    median(figures.cold), prestarted, prestarted / reference, median(figures.idleMb),
                    figures.idleProcesses);
    }
    std::printf("(pre-started: the address sent %d ms after the link was up; x: against the first executable's "
                "pre-started figure)\n",
                prestartWaitMs);
    return 0;
}
