// minimal-host BROWSER ADDRESS: starts the browser, shows ADDRESS in a window
// of its own, prints every position report and answers the page's questions
// about the user. Ends when the window is closed.

#include <ZuvoBrowserHost/browserhost.h>

#include <QCoreApplication>
#include <QTextStream>

using Zuvo::BrowserHost;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        err << "usage: minimal-host BROWSER ADDRESS" << Qt::endl;
        return 2;
    }

    BrowserHost host;
    QObject::connect(&host, &BrowserHost::connected, [&] { out << "browser connected" << Qt::endl; });
    QObject::connect(&host, &BrowserHost::positionChanged, [&](const QRect &frame, bool maximised) {
        out << "position " << frame.x() << ',' << frame.y() << ' ' << frame.width() << 'x' << frame.height()
            << (maximised ? " maximised" : "") << Qt::endl;
    });
    // The page waits for the answer, so it is given at once.
    QObject::connect(&host, &BrowserHost::userInfoRequested, [&](const QString &key) {
        host.answerUserInfo(key, QStringLiteral(R"({"name":"Ada Example"})"));
        out << "user information sent" << Qt::endl;
    });
    QObject::connect(&host, &BrowserHost::logReceived, [&](const QString &text) { out << "page: " << text << Qt::endl; });
    QObject::connect(&host, &BrowserHost::browserFailedToStart, [&](const QString &reason) {
        err << "cannot start the browser: " << reason << Qt::endl;
        app.exit(1);
    });
    // Closing the window ends the browser, and with it this host.
    QObject::connect(&host, &BrowserHost::browserFinished, [&](int exitCode, QProcess::ExitStatus status) {
        out << "browser ended with code " << exitCode << Qt::endl;
        app.exit(status == QProcess::NormalExit ? exitCode : 1);
    });

    QString error;
    if (!host.start(arguments.at(1), &error)) {
        err << error << Qt::endl;
        return 1;
    }
    // Held until the browser connects, then sent in this order.
    host.setTitle(QStringLiteral("Minimal host"));
    host.setAccessToken(QStringLiteral("example-token"));
    // The page shown is ours: only its origin gets the token and the bridge.
    const QUrl page = QUrl::fromUserInput(arguments.at(2));
    host.setTrustedOrigins({page.toString(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)});
    host.setWindowGeometry(QRect(100, 80, 900, 640));
    host.showUrl(page);
    return app.exec();
}
