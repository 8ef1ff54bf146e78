// Loads bench/webfeatures.html from qrc: in a bare view of one engine and
// prints how many of its web-platform features work, and which do not.
// Built once per engine: the WebEngine build defines ZUVO_BENCH_WEBENGINE
// and links only that engine; the WebKitGTK build defines
// ZUVO_BENCH_WEBKITGTK and has the bare WebKitGTK window (a GTK program,
// bench_bare_webkitgtk) load the page from a file.
#include <QElapsedTimer>
#include <QTimer>
#if defined(ZUVO_BENCH_WEBKITGTK)
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#elif defined(ZUVO_BENCH_WEBENGINE)
#include "webcontent.h"
#include <QApplication>
#include <QWebEngineView>
using BareView = QWebEngineView;
#else
#include "webcontent.h"
#include <QApplication>
#include <QWebView>
using BareView = QWebView;
#endif

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kTimeoutMs = 30000;

// The page titles itself "N of M ..." once every check has settled.
bool isResult(const QString &title)
{
    return title.contains(QLatin1String(" of ")) && title.at(0).isDigit();
}

} // namespace

#ifdef ZUVO_BENCH_WEBKITGTK
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("webfeatures.html"));
    QFile::copy(QStringLiteral(":/bench/webfeatures.html"), page);
    QProcess bare;
    QElapsedTimer clock;
    int status = 1;
    QObject::connect(&bare, &QProcess::readyReadStandardOutput, &app, [&] {
        while (bare.canReadLine()) {
            const QString title = QString::fromUtf8(bare.readLine()).trimmed();
            if (!isResult(title))
                continue;
            std::printf("WebKitGTK: %s (%lld ms)\n", qPrintable(title), static_cast<long long>(clock.elapsed()));
            status = 0;
            app.quit();
        }
    });
    QObject::connect(&bare, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &app, &QCoreApplication::quit);
    QTimer::singleShot(kTimeoutMs, &app, [&] {
        std::printf("WebKitGTK: no result in %d ms\n", kTimeoutMs);
        app.quit();
    });
    clock.start();
    bare.start(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_bare_webkitgtk"),
               {QStringLiteral("--titles"), QUrl::fromLocalFile(page).toString()});
    app.exec();
    bare.kill();
    bare.waitForFinished();
    return status;
}
#else
int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    WebContent::prepareProcess();
    QApplication app(argc, argv);
    BareView view;
    QElapsedTimer clock;
    int status = 1;
    QObject::connect(&view, &BareView::titleChanged, &app, [&](const QString &title) {
        if (!isResult(title))
            return;
        std::printf("%s: %s (%lld ms)\n", qPrintable(WebContent::engineName()), qPrintable(title),
                    static_cast<long long>(clock.elapsed()));
        status = 0;
        app.quit();
    });
    QTimer::singleShot(kTimeoutMs, &app, [&] {
        std::printf("%s: no result in %d ms\n", qPrintable(WebContent::engineName()), kTimeoutMs);
        app.quit();
    });
    view.resize(800, 600);
    clock.start();
    view.load(QUrl(QStringLiteral("qrc:/bench/webfeatures.html")));
    view.show();
    app.exec();
    // The figures are out; the engine's teardown is not what is measured.
    std::fflush(stdout);
    _exit(status);
}
#endif
