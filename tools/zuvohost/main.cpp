#include "console.h"
#include "hostconfig.h"
#include "hostoptions.h"
#include "hostsession.h"
#include "signalwatcher.h"
#include "stdinreader.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const int usageExitCode = 2;
const int listenExitCode = 3;

bool loadConfig(const QString &path, HostConfig *config)
{
    if (path.isEmpty())
        return true;
    QStringList errors;
    if (config->load(path, &errors))
        return true;
    for (const QString &error : errors)
        console::printError(path + QStringLiteral(": ") + error);
    return false;
}

// The desktop's file manager is reached through the GUI application, so the
// host becomes one inside a desktop session; elsewhere (a bare X server, a
// console) it stays a console program and prints the folders it would open.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char *argv[])
{
    const bool desktop = !qEnvironmentVariableIsEmpty("XDG_CURRENT_DESKTOP")
                         || !qEnvironmentVariableIsEmpty("DESKTOP_SESSION");
    const bool windowing = !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (desktop && windowing)
        return std::make_unique<QGuiApplication>(argc, argv);
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);

    const ParsedCommandLine commandLine = parseCommandLine(app->arguments(), QCoreApplication::applicationDirPath());
    if (commandLine.helpRequested) {
        console::printMessage(usageText());
        return 0;
    }
    if (!commandLine.error.isEmpty()) {
        console::printError(commandLine.error + QStringLiteral(" (see --help)"));
        return usageExitCode;
    }
    HostConfig config;
    if (!loadConfig(commandLine.options.configPath, &config))
        return usageExitCode;

    HostOptions options = commandLine.options;
    std::unique_ptr<HostSession> session;
    SignalWatcher signalWatcher;
    StdinReader input;
    QObject::connect(&signalWatcher, &SignalWatcher::signalled, app.get(),
                     [&session](int signalNumber) { session->shutDown(QStringLiteral("signal %1").arg(signalNumber)); });
    QObject::connect(&input, &StdinReader::lineRead, app.get(), [&session](const QString &line) { session->handleLine(line); });
    QObject::connect(&input, &StdinReader::endOfInput, app.get(), [&session] { session->handleEndOfInput(); });

    // With --keep-ready a browser that ends on its own (its window closed) is
    // followed at once by the next, which waits for an address: the next
    // click does not wait for a browser to start.
    std::function<int()> startSession = [&]() -> int {
        session = std::make_unique<HostSession>(options, config);
        QString error;
        if (!session->openHistory(&error)) {
            console::printError(error);
            return usageExitCode;
        }
        QObject::connect(session.get(), &HostSession::finished, app.get(), [&](int exitCode) {
            if (!options.keepReady || session->isShuttingDown()) {
                QCoreApplication::exit(exitCode);
                return;
            }
            options.url.clear();
            // Once this signal is done with the session; the old endpoint
            // closes before the new one listens.
            QTimer::singleShot(0, app.get(), [&] {
                session.reset();
                if (const int failed = startSession())
                    QCoreApplication::exit(failed);
            });
        });
        if (!session->start(&error)) {
            console::printError(error);
            return listenExitCode;
        }
        return 0;
    };
    if (const int failed = startSession())
        return failed;
    return app->exec();
}
