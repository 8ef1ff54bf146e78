// The memory of the real browser process (all its processes) while a page
// floods the host link for ten seconds, against the same browser on an idle
// page, with a host that reads as fast as it can and with one that reads
// nothing for ten seconds and then reads again. Prints the curve every half
// second and, per run, the peak and the page text that reached the host.
//
//     bench_flood BROWSER-EXECUTABLE [SIZES [CHANNEL-REQUESTS]]
//
// SIZES are the page's log lengths in bytes, comma-separated (default
// 1048576,61440,100); CHANNEL-REQUESTS how many 1 MiB channel requests
// follow each round of logs (default 1). "1048576 0" is a page posting a
// 1 MiB log in a loop and nothing else.
#include "browserrun.h"
#include "floodpage.h"
#include "httpfixture.h"
#include "processbench.h"
#include "processtree.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <cstdio>

namespace {

constexpr int kTimeoutMs = 60000;
constexpr int kSampleMs = 500;
constexpr int kRunMs = 14000;
constexpr int kBusyMs = 10000;

enum class Host { Reading, BusyTenSeconds };

struct Sample {
    qint64 atMs = 0;
    qint64 pssKiB = 0;
    qint64 pageBytesReceived = 0;
};

struct Run {
    QList<Sample> samples;
    qint64 baselineKiB = 0;
    qint64 peakKiB() const
    {
        qint64 peak = baselineKiB;
        for (const Sample &sample : samples)
            peak = qMax(peak, sample.pssKiB);
        return peak;
    }
    qint64 pageBytesReceived() const { return samples.isEmpty() ? 0 : samples.last().pageBytesReceived; }
};

void runEventsFor(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(qMax<qint64>(1, deadline.remainingTime())));
}

bool waitForLog(BrowserRun &browser, const QString &text)
{
    QDeadlineTimer deadline(kTimeoutMs);
    while (!deadline.hasExpired()) {
        if (browser.texts(QStringLiteral("receiveLog")).contains(text))
            return true;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return false;
}

// One browser from start: the idle page for a baseline, then `page` for kRunMs.
bool measure(const QString &executable, const QUrl &idle, const QUrl &page, Host host, Run *run)
{
    BrowserRun browser(executable);
    if (!browser.start(kTimeoutMs))
        return false;
    browser.showUrl(idle);
    if (!waitForLog(browser, QStringLiteral("idle")))
        return false;
    run->baselineKiB = processtree::memoryOf(browser.pid()).pssKiB;

    // Counted as the messages come and then forgotten: an unlimited browser
    // sends hundreds of MiB.
    qint64 received = 0;
    QObject::connect(&browser.host(), &HostLink::messageReceived, &browser, [&received](const HostLink::Message &m) {
        if (m.group == QLatin1String("feedback") &&
            (m.command == QLatin1String("receiveLog") || m.command == QLatin1String("gotoChannel")))
            received += m.payload.size();
    });
    browser.host().clearReceived();
    if (host == Host::BusyTenSeconds)
        browser.host().holdReading(true);
    browser.showUrl(page);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kRunMs) {
        runEventsFor(kSampleMs);
        if (host == Host::BusyTenSeconds && clock.elapsed() >= kBusyMs)
            browser.host().holdReading(false);
        browser.host().clearReceived();
        run->samples.append({clock.elapsed(), processtree::memoryOf(browser.pid()).pssKiB, received});
    }
    return true;
}

double megabytes(qint64 kiB)
{
    return kiB * 1024.0 / 1e6;
}

double mebibytes(qint64 bytes)
{
    return bytes / (1024.0 * 1024.0);
}

void printCurve(const Run &idle, const Run &reading, const Run &busy)
{
    std::printf("%6s  %9s  %14s %12s  %14s %12s\n", "time", "idle page", "flood, reading", "to host",
                "flood, busy", "to host");
    std::printf("%6s  %9s  %14s %12s  %14s %12s\n", "s", "MB", "MB", "MiB", "MB", "MiB");
    const int rows = int(qMin(idle.samples.size(), qMin(reading.samples.size(), busy.samples.size())));
    for (int i = 0; i < rows; ++i) {
        std::printf("%6.1f  %9.0f  %14.0f %12.1f  %14.0f %12.1f\n", reading.samples[i].atMs / 1000.0,
                    megabytes(idle.samples[i].pssKiB), megabytes(reading.samples[i].pssKiB),
                    mebibytes(reading.samples[i].pageBytesReceived), megabytes(busy.samples[i].pssKiB),
                    mebibytes(busy.samples[i].pageBytesReceived));
    }
}

void printSummary(const char *name, const Run &run)
{
    std::printf("%-40s baseline %4.0f MB   peak %5.0f MB   page text to the host %7.1f MiB\n", name,
                megabytes(run.baselineKiB), megabytes(run.peakKiB()), mebibytes(run.pageBytesReceived()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: %s BROWSER-EXECUTABLE [SIZES [CHANNEL-REQUESTS]]\n", argv[0]);
        return 2;
    }
    ProcessBench bench;
    if (!bench.setUp(argv[1]))
        return 1;
    testsupport::HttpFixture &server = bench.server;
    const QString &executable = bench.executable;
    server.setPage("/idle", floodpage::idlePage());
    server.setPage("/flood", floodpage::floodPage());
    QUrl flood = server.url(QStringLiteral("/flood"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("seconds"), QString::number(kBusyMs / 1000));
    if (argc > 2)
        query.addQueryItem(QStringLiteral("sizes"), QString::fromLocal8Bit(argv[2]));
    if (argc > 3)
        query.addQueryItem(QStringLiteral("messages"), QString::fromLocal8Bit(argv[3]));
    flood.setQuery(query);
    const QUrl idle = server.url(QStringLiteral("/idle"));

    Run idleRun, readingRun, busyRun;
    if (!measure(executable, idle, idle, Host::Reading, &idleRun) ||
        !measure(executable, idle, flood, Host::Reading, &readingRun) ||
        !measure(executable, idle, flood, Host::BusyTenSeconds, &busyRun)) {
        std::fprintf(stderr, "the browser did not start or load the idle page\n");
        return 1;
    }
    std::printf("flood of the host link by %s, page %s, proportional memory of all its processes\n",
                qPrintable(QFileInfo(argv[1]).fileName()), qPrintable(flood.query()));
    printCurve(idleRun, readingRun, busyRun);
    printSummary("idle page", idleRun);
    printSummary("flood, host reading", readingRun);
    printSummary("flood, host busy 10 s, then reading", busyRun);
    std::fflush(stdout);
    return 0;
}
