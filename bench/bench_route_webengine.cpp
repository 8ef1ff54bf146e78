// Two routes for a synchronous call from page script into the program on Qt
// WebEngine, both answered at once: a window.prompt taken in
// javaScriptPrompt, against a synchronous XMLHttpRequest to a custom scheme
// answered by a QWebEngineUrlSchemeHandler. The same page runs from an HTTP
// server on loopback, from qrc: and from a file, and tries the scheme under
// several registrations: a job cannot set Access-Control-Allow-Origin, so
// whether the request works at all from another origin is part of the result.
// Prints the median per call of each route.
#include "httpfixture.h"

#include <QApplication>
#include <QBuffer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

#include <cstdio>
#include <unistd.h>

namespace {

struct SchemeVariant {
    const char *name;
    QWebEngineUrlScheme::Flags flags;
    const char *label;
};

const SchemeVariant kSchemes[] = {
    {"zuvoplain", {}, "no flags"},
    {"zuvocors", QWebEngineUrlScheme::CorsEnabled, "CorsEnabled"},
    {"zuvosecure",
     QWebEngineUrlScheme::CorsEnabled | QWebEngineUrlScheme::SecureScheme |
         QWebEngineUrlScheme::ContentSecurityPolicyIgnored,
     "Cors+Secure+CSPIgnored"},
    {"zuvolocal",
     QWebEngineUrlScheme::CorsEnabled | QWebEngineUrlScheme::LocalScheme |
         QWebEngineUrlScheme::LocalAccessAllowed,
     "Cors+Local+LocalAccess"},
};

constexpr int kTimeoutMs = 60000;

void registerSchemes()
{
    for (const SchemeVariant &variant : kSchemes) {
        QWebEngineUrlScheme scheme(variant.name);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
        scheme.setFlags(variant.flags);
        QWebEngineUrlScheme::registerScheme(scheme);
    }
}

class PongHandler : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        auto *body = new QBuffer(job);
        body->setData(QByteArrayLiteral("pong"));
        body->open(QIODevice::ReadOnly);
        job->reply(QByteArrayLiteral("text/plain"), body);
    }
};

// Answers the page's pings at once and keeps its report.
class TrialPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

    QJsonObject report;
    QString firstConsoleError;

protected:
    bool javaScriptPrompt(const QUrl &, const QString &msg, const QString &defaultValue, QString *result) override
    {
        if (msg == QLatin1String("ping")) {
            *result = QStringLiteral("pong");
            return true;
        }
        if (msg == QLatin1String("report"))
            report = QJsonDocument::fromJson(defaultValue.toUtf8()).object();
        return false;
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int,
                                  const QString &) override
    {
        if (level == ErrorMessageLevel && firstConsoleError.isEmpty())
            firstConsoleError = message;
    }
};

QJsonObject runFrom(QWebEngineProfile *profile, const QUrl &address, QString *consoleError)
{
    TrialPage page(profile);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!page.report.isEmpty())
            loop.quit();
    });
    poll.start(20);
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
    page.load(address);
    loop.exec();
    *consoleError = page.firstConsoleError;
    return page.report;
}

QString cell(const QJsonObject &trial)
{
    if (trial.value("works").toBool())
        return QString::asprintf("%8.3f ms", trial.value("median").toDouble());
    return QStringLiteral("fails: ") + trial.value("error").toString();
}

void printReport(const char *origin, const QJsonObject &report, const QString &consoleError)
{
    std::printf("%-6s  %-46s %s\n", origin, "prompt in javaScriptPrompt",
                qPrintable(cell(report.value("prompt").toObject())));
    const QJsonObject requests = report.value("xhr").toObject();
    for (const SchemeVariant &variant : kSchemes) {
        const QString route = QStringLiteral("sync XHR %1: (%2)").arg(variant.name, variant.label);
        std::printf("%-6s  %-46s %s\n", origin, qPrintable(route),
                    qPrintable(cell(requests.value(variant.name).toObject())));
    }
    if (!consoleError.isEmpty())
        std::printf("%-6s  first console error: %s\n", origin, qPrintable(consoleError.left(160)));
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fprintf(stderr, "warning: running as root, the page processes' sandbox is turned off\n");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    registerSchemes();
    QApplication app(argc, argv);

    QWebEngineProfile profile;
    PongHandler handler;
    for (const SchemeVariant &variant : kSchemes)
        profile.installUrlSchemeHandler(variant.name, &handler);

    QFile resource(QStringLiteral(":/bench/routetrial.html"));
    if (!resource.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no trial page in the resources\n");
        return 1;
    }
    const QByteArray html = resource.readAll();
    testsupport::HttpFixture server;
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("routetrial.html")));
    if (!server.listenOn() || !file.open(QIODevice::WriteOnly) || file.write(html) != html.size()) {
        std::fprintf(stderr, "cannot serve the trial page\n");
        return 1;
    }
    file.close();
    server.setPage("/routetrial.html", html);

    const struct {
        const char *name;
        QUrl address;
    } origins[] = {
        {"http", server.url(QStringLiteral("/routetrial.html"))},
        {"qrc", QUrl(QStringLiteral("qrc:/bench/routetrial.html"))},
        {"file", QUrl::fromLocalFile(file.fileName())},
    };
    std::printf("Qt WebEngine on Qt %s: a synchronous call from page script, answered at once; median per call\n",
                qVersion());
    int failed = 0;
    for (const auto &origin : origins) {
        QString consoleError;
        const QJsonObject report = runFrom(&profile, origin.address, &consoleError);
        if (report.isEmpty()) {
            std::printf("%-6s  no report from the page\n", origin.name);
            ++failed;
            continue;
        }
        printReport(origin.name, report, consoleError);
    }
    // The figures are out; the engine's teardown is not what is measured.
    std::fflush(stdout);
    _exit(failed ? 1 : 0);
}
