// One start of the browser window in test mode, or of a bare QWebView, on
// the built-in start page: prints the time from ZUVO_BENCH_T0 (nanoseconds
// since the epoch, taken by the caller just before starting this process) to
// the page's loadFinished, and the resident memory one second later.
// bench/startup.sh runs it repeatedly under Xvfb and prints medians.
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"
#include "zuvochatwebbroswer_private.h"
#include "webcontent.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <QWebView>

#include <cstring>

namespace {

const char *const kStartPage = "qrc:/start/index.html";

qint64 nowNs()
{
    return QDateTime::currentMSecsSinceEpoch() * 1000000;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

template <typename View>
void reportWhenLoaded(View *view, qint64 t0)
{
    QObject::connect(view, &View::loadFinished, view, [t0](bool ok) {
        const double ms = (nowNs() - t0) / 1e6;
        QTimer::singleShot(1000, [ms, ok] {
            QTextStream(stdout) << "load_ms " << ms << " ok " << ok << " rss_kib " << residentKiB() << "\n";
            QCoreApplication::exit(0);
        });
    });
}

} // namespace

int main(int argc, char *argv[])
{
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
    const qint64 t0 = qEnvironmentVariableIsSet("ZUVO_BENCH_T0") ? qgetenv("ZUVO_BENCH_T0").toLongLong() : nowNs();
    // The browser's own rule: raster only unless the user chose otherwise.
    if (!bare && !qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    QApplication app(argc, argv);
    if (bare) {
        QWebView view;
        reportWhenLoaded(&view, t0);
        view.resize(520, 850);
        view.load(QUrl(QLatin1String(kStartPage)));
        view.show();
        return app.exec();
    }

    ZuvoChatWBConfigure::init();
    ZuvoChatWebBroswer *window = ZuvoChatWebBroswer::newZuvoChatWebBroswer(QLatin1String(kStartPage), nullptr);
    reportWhenLoaded(window->impl()->webContent(), t0);
    return app.exec();
}
