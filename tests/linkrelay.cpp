// Stand-ins at either end of the host link, for tests that need another
// process there.
//   linkrelay ENDPOINT TEST_ENDPOINT   a browser started by a host: connects to
//       the host's endpoint as the browser would and relays every byte to and
//       from the test, which listens on TEST_ENDPOINT. The host so sees the
//       process it started on the other end of its link.
//   linkrelay --host ENDPOINT ADDRESS  a host: listens on ENDPOINT (for
//       everybody) and asks each browser that connects to show ADDRESS.
#include "transport/wirecodec.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

int relay(QCoreApplication &app, const QString &hostEndpoint, const QString &testEndpoint)
{
    QLocalSocket host;
    QLocalSocket test;
    host.connectToServer(hostEndpoint);
    test.connectToServer(testEndpoint);
    if (!host.waitForConnected(10000) || !test.waitForConnected(10000))
        return 1;
    QObject::connect(&host, &QLocalSocket::readyRead, [&] { test.write(host.readAll()); });
    QObject::connect(&test, &QLocalSocket::readyRead, [&] { host.write(test.readAll()); });
    QObject::connect(&host, &QLocalSocket::disconnected, &app, &QCoreApplication::quit);
    QObject::connect(&test, &QLocalSocket::disconnected, &app, &QCoreApplication::quit);
    return app.exec();
}

int host(QCoreApplication &app, const QString &endpoint, const QString &address)
{
    QLocalServer server;
    server.setSocketOptions(QLocalServer::WorldAccessOption);
    QLocalServer::removeServer(endpoint);
    if (!server.listen(endpoint))
        return 1;
    QObject::connect(&server, &QLocalServer::newConnection, [&] {
        while (QLocalSocket *browser = server.nextPendingConnection())
            browser->write(wirecodec::encodeText(QStringLiteral("event"), QStringLiteral("showUrl"), address));
    });
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("--host"))
        return host(app, arguments[2], arguments[3]);
    if (arguments.size() == 3)
        return relay(app, arguments[1], arguments[2]);
    return 2;
}
