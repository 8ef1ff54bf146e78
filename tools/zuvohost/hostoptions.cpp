#include "hostoptions.h"

#include "commandinterpreter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

const QString browserName = QStringLiteral("zuvochatwebbroswer");

struct OptionSet {
    QCommandLineOption browser{QStringLiteral("browser"), QString(), QStringLiteral("path")};
    QCommandLineOption config{QStringLiteral("config"), QString(), QStringLiteral("file")};
    QCommandLineOption url{QStringLiteral("url"), QString(), QStringLiteral("address")};
    QCommandLineOption history{QStringLiteral("history"), QString(), QStringLiteral("file")};
    QCommandLineOption quietBrowser{QStringLiteral("quiet-browser")};
    QCommandLineOption exitOnEof{QStringLiteral("exit-on-eof")};
    QCommandLineOption keepReady{QStringLiteral("keep-ready")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}};
};

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

ParsedCommandLine parseCommandLine(const QStringList &arguments, const QString &hostDir)
{
    ParsedCommandLine parsed;
    OptionSet options;
    QCommandLineParser parser;
    parser.addOptions({options.browser, options.config, options.url, options.history, options.quietBrowser, options.exitOnEof,
                       options.keepReady, options.help});
    if (!parser.parse(arguments)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    if (!parser.positionalArguments().isEmpty()) {
        parsed.error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return parsed;
    }
    if (parser.isSet(options.help)) {
        parsed.helpRequested = true;
        return parsed;
    }

    HostOptions &host = parsed.options;
    host.browserPath = parser.isSet(options.browser) ? parser.value(options.browser) : findBrowser(hostDir);
    host.configPath = parser.value(options.config);
    host.url = parser.value(options.url);
    host.historyPath = parser.value(options.history);
    host.quietBrowser = parser.isSet(options.quietBrowser);
    host.exitOnEndOfInput = parser.isSet(options.exitOnEof);
    host.keepReady = parser.isSet(options.keepReady);
    if (host.browserPath.isEmpty())
        parsed.error = QStringLiteral("no %1 next to the host or in the build tree; give --browser PATH").arg(browserName);
    else if (!isExecutableFile(host.browserPath))
        parsed.error = QStringLiteral("%1 is not an executable file").arg(host.browserPath);
    return parsed;
}

QString findBrowser(const QString &hostDir)
{
    const QDir dir(hostDir);
    const QStringList candidates = {dir.filePath(browserName),
                                    QDir::cleanPath(dir.filePath(QStringLiteral("../../src/") + browserName))};
    for (const QString &candidate : candidates) {
        if (isExecutableFile(candidate))
            return candidate;
    }
    return QString();
}

QString usageText()
{
    return QStringLiteral(
               "Usage: zuvohost [options]\n"
               "Starts the Zuvo web browser, configures it and drives it from standard input.\n"
               "Every message the browser sends is printed on standard output, one line each:\n"
               "group, command and payload (JSON payloads as compact JSON).\n"
               "\n"
               "Options:\n"
               "  --browser PATH    the browser executable (default: zuvochatwebbroswer next to\n"
               "                    zuvohost, else ../../src/zuvochatwebbroswer from it)\n"
               "  --config FILE     JSON configuration sent when the browser connects\n"
               "  --url ADDRESS     address shown after the configuration (default: none)\n"
               "  --history FILE    keep the download history in FILE (JSON), so it survives\n"
               "                    a restart; without it the history lasts as long as the host\n"
               "  --quiet-browser   drop the browser's own output instead of forwarding it\n"
               "                    to standard error with a \"browser: \" prefix\n"
               "  --exit-on-eof     close the link when standard input ends\n"
               "  --keep-ready      keep a browser started ahead of the next address: when one\n"
               "                    ends, the next starts and waits for show (--url goes to\n"
               "                    the first only)\n"
               "  -h, --help        print this help\n"
               "\n") +
           commandHelp() +
           QStringLiteral(
               "\n"
               "Downloads that the browser starts are fetched by the host (with the configured\n"
               "access token) into the chosen file, which appears only once complete; the\n"
               "history answers the browser's download panel. Removing records never deletes\n"
               "files. openFileFolder opens the folder in a desktop session's file manager,\n"
               "or prints \"host: open folder DIR\" outside a desktop session.\n"
               "\n"
               "The host exits with the browser's exit code (128 + N if signal N ended it),\n"
               "or with --keep-ready that of the last one, after quit or a signal.\n"
               "quit, SIGINT and SIGTERM close the link, after which the browser ends by\n"
               "itself; it is killed if it has not within 5 seconds.\n");
}
