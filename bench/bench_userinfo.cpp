// Round trip of window.zuvowebkitbridge.getCurrentUserInfo() from page script
// to a host on a real local socket that answers at once, for the bridge as
// built and for the plain wait that sleeps 30 ms on the semaphore per attempt.

#include "testsupport.h"
#include "userinforelay.h"

#include "hostlink.h"
#include "zuvojsbridge.h"
#include "zuvowebkitpage.h"
#include "zwProtoc.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QMutexLocker>
#include <QSemaphore>
#include <QUuid>
#include <QWebFrame>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace iq = zuvo_web_protoc::zuvo_web_protoc_5_iq;

namespace {

const int measuredCalls = 200;
const int warmUpCalls = 5;

// The baseline: the same query, waiting by sleeping on the semaphore.
class PlainWaitBridge : public QObject
{
    Q_OBJECT

public:
    void onCurrentUserInfo(const QByteArray &json)
    {
        const QJsonObject reply = QJsonDocument::fromJson(json).object();
        QMutexLocker locker(&_mutex);
        if (_requestId.isEmpty() || reply.value(QStringLiteral("key")).toString() != _requestId)
            return;
        _value = reply.value(QStringLiteral("info")).toString();
        locker.unlock();
        _sem.release();
    }

signals:
    void currentUserInfo(QString requestID);

public slots:
    QString getCurrentUserInfo()
    {
        if (!_requestId.isEmpty())
            return QString();
        {
            QMutexLocker locker(&_mutex);
            _requestId = QUuid::createUuid().toString(QUuid::Id128);
            _value.clear();
        }
        emit currentUserInfo(_requestId);
        for (int attempt = 0; attempt < 100; ++attempt) {
            QCoreApplication::processEvents();
            if (_sem.tryAcquire(1, 30))
                break;
        }
        QMutexLocker locker(&_mutex);
        _requestId.clear();
        QString result = _value;
        _value.clear();
        return result;
    }

private:
    QSemaphore _sem{0};
    QMutex _mutex;
    QString _requestId;
    QString _value;
};

struct Figures {
    double medianMs = 0;
    double p95Ms = 0;
    int answered = 0;
};

template <typename Bridge>
Figures measure(Bridge &bridge)
{
    HostLink host;
    QObject::connect(&host, &HostLink::messageReceived, [&host](const HostLink::Message &message) {
        if (message.command != iq::_10_currentUserInfo)
            return;
        const QJsonObject reply{{QStringLiteral("key"), message.text()},
                                {QStringLiteral("info"), QStringLiteral("{\"name\":\"bench\"}")}};
        host.send(iq::prefix, iq::_11_currentUserInfo, QJsonDocument(reply).toJson(QJsonDocument::Compact));
    });
    testsupport::UserInfoRelay relay(&bridge, [&bridge](const QByteArray &json) { bridge.onCurrentUserInfo(json); });
    if (!host.listen(testsupport::uniqueServerName(QStringLiteral("bench"))) ||
        !relay.connectTo(host.serverName()) || !host.waitForConnection(5000)) {
        std::fprintf(stderr, "no host link\n");
        return {};
    }
    ZuvoWebKitPage page(nullptr);
    page.mainFrame()->addToJavaScriptWindowObject(QStringLiteral("zuvowebkitbridge"), &bridge);
    const QString script = QStringLiteral("window.zuvowebkitbridge.getCurrentUserInfo()");

    for (int i = 0; i < warmUpCalls; ++i)
        page.mainFrame()->evaluateJavaScript(script);

    Figures figures;
    std::vector<double> samples;
    samples.reserve(measuredCalls);
    QElapsedTimer clock;
    for (int i = 0; i < measuredCalls; ++i) {
        clock.start();
        const QString info = page.mainFrame()->evaluateJavaScript(script).toString();
        samples.push_back(clock.nsecsElapsed() / 1e6);
        if (!info.isEmpty())
            ++figures.answered;
    }
    std::sort(samples.begin(), samples.end());
    figures.medianMs = (samples[measuredCalls / 2 - 1] + samples[measuredCalls / 2]) / 2;
    figures.p95Ms = samples[static_cast<size_t>(measuredCalls * 0.95) - 1];
    return figures;
}

// A query nobody answers: the wait must sleep, not spin, for its 3 seconds.
void printUnansweredWait()
{
    ZuvoJsBridge bridge;
    ZuvoWebKitPage page(nullptr);
    page.mainFrame()->addToJavaScriptWindowObject(QStringLiteral("zuvowebkitbridge"), &bridge);
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpuBefore = std::clock();
    page.mainFrame()->evaluateJavaScript(QStringLiteral("window.zuvowebkitbridge.getCurrentUserInfo()"));
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    std::printf("%-28s wall %8.0f ms   cpu %8.1f ms\n", "unanswered query", clock.nsecsElapsed() / 1e6, cpuMs);
}

void print(const char *name, const Figures &figures)
{
    std::printf("%-28s median %8.3f ms   p95 %8.3f ms   answered %d/%d\n", name, figures.medianMs,
                figures.p95Ms, figures.answered, measuredCalls);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::printf("getCurrentUserInfo round trip, page script to a host on a local socket, %d calls\n",
                measuredCalls);
    ZuvoJsBridge bridge;
    print("woken by the reply", measure(bridge));
    PlainWaitBridge plain;
    print("plain 30 ms semaphore wait", measure(plain));
    printUnansweredWait();
    return 0;
}

#include "bench_userinfo.moc"
