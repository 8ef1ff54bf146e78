// One start of the browser window in test mode, or of a bare view of the same
// engine, on the built-in start page: prints the time from ZUVO_BENCH_T0
// (nanoseconds since the epoch, taken by the caller just before starting this
// process) to the page's loadFinished, and, a while later, the resident
// memory of this process and the proportional memory of this process with
// every helper process it started. Built once per engine: the WebEngine build
// defines ZUVO_BENCH_WEBENGINE and links only that engine.
// bench/startup.sh runs it repeatedly under Xvfb and prints medians.
#include "processtree.h"
#include "webcontent.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"
#include "zuvochatwebbroswer_private.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#if defined(ZUVO_BENCH_WEBENGINE)
#include <QWebEngineView>
using BareView = QWebEngineView;
#elif defined(ZUVO_BENCH_WEBKITGTK)
// The bare WebKitGTK window is a GTK program of its own, bench_bare_webkitgtk.
#else
#include <QWebView>
using BareView = QWebView;
#endif

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

const char *const kStartPage = "qrc:/start/index.html";
// Helper processes settle after the first paint; both programs wait alike.
constexpr int kSettleMs = 2000;

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
void reportWhenLoaded(View *view, qint64 t0, std::function<void()> finish)
{
    // A page may finish more than once (the start page does not, but the
    // first figure is the one that counts).
    auto reported = std::make_shared<bool>(false);
    QObject::connect(view, &View::loadFinished, view, [t0, reported, finish](bool ok) {
        if (*reported)
            return;
        *reported = true;
        const double ms = (nowNs() - t0) / 1e6;
        QTimer::singleShot(kSettleMs, [ms, ok, finish] {
            const TreeMemory tree = processtree::memoryOfThisProcess();
            QTextStream(stdout) << "load_ms " << ms << " ok " << ok << " rss_kib " << residentKiB()
                                << " pss_kib " << tree.pssKiB << " processes " << tree.processes << "\n";
            finish();
        });
    });
}

// What the engine needs before the application exists, set up here by hand
// so the bare program gets no help from the browser's code.
void prepareBareProcess()
{
#ifdef ZUVO_BENCH_WEBENGINE
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Drawn without OpenGL, as both programs are here, Qt 6.4's engine needs
    // Qt Quick's software renderer, or it crashes at the first frame.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fprintf(stderr, "running as root: the page processes' sandbox is turned off\n");
    }
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
    const qint64 t0 = qEnvironmentVariableIsSet("ZUVO_BENCH_T0") ? qgetenv("ZUVO_BENCH_T0").toLongLong() : nowNs();
    // The browser's own rule, for both programs alike: raster only unless the
    // caller chose otherwise.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    if (bare)
        prepareBareProcess();
    else
        WebContent::prepareProcess();
    QApplication app(argc, argv);
#ifndef ZUVO_BENCH_WEBKITGTK
    if (bare) {
        BareView view;
        reportWhenLoaded(&view, t0, [] { QCoreApplication::exit(0); });
        view.resize(520, 850);
        view.load(QUrl(QLatin1String(kStartPage)));
        view.show();
        return app.exec();
    }
#endif

    ZuvoChatWBConfigure::init();
    // The bare WebKitGTK window reads the start page from its file.
    const QString page = qEnvironmentVariable("ZUVO_BENCH_PAGE", QLatin1String(kStartPage));
    ZuvoChatWebBroswer *window = ZuvoChatWebBroswer::newZuvoChatWebBroswer(page, nullptr);
    // Ends as the browser does at the link's end: the window first, then the
    // event loop half a second later.
    reportWhenLoaded(window->impl()->webContent(), t0, [] {
        ZuvoChatWebBroswer::destory();
        QTimer::singleShot(500, [] { QCoreApplication::exit(0); });
    });
    return app.exec();
}
