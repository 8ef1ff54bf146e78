// A stand-in browser for the host library's tests: started by the host like
// the browser, it connects to the host's endpoint as the browser would and
// relays every byte to and from the test, which listens on a second endpoint.
// The host so sees the process it started on the other end of its link.
#include <QCoreApplication>
#include <QLocalSocket>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    QLocalSocket host;
    QLocalSocket test;
    host.connectToServer(QString::fromLocal8Bit(argv[1]));
    test.connectToServer(QString::fromLocal8Bit(argv[2]));
    if (!host.waitForConnected(10000) || !test.waitForConnected(10000))
        return 1;
    QObject::connect(&host, &QLocalSocket::readyRead, [&] { test.write(host.readAll()); });
    QObject::connect(&test, &QLocalSocket::readyRead, [&] { host.write(test.readAll()); });
    QObject::connect(&host, &QLocalSocket::disconnected, &app, &QCoreApplication::quit);
    QObject::connect(&test, &QLocalSocket::disconnected, &app, &QCoreApplication::quit);
    return app.exec();
}
