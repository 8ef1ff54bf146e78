#include "httpfixture.h"

#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/socket.h>

#include <utility>

namespace testsupport {

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 404: return "Not Found";
    default: return "Status";
    }
}

QByteArray pathWithoutFragment(const QByteArray &target)
{
    const int hash = target.indexOf('#');
    return hash < 0 ? target : target.left(hash);
}

} // namespace

QList<QByteArray> HttpRequest::headerValues(const QByteArray &name) const
{
    QList<QByteArray> values;
    for (const auto &header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            values.append(header.second);
    }
    return values;
}

HttpFixture::HttpFixture(QObject *parent)
    : QTcpServer(parent)
{
}

bool HttpFixture::listenOn(const QHostAddress &address)
{
    return listen(address, 0);
}

void HttpFixture::useTls(const QSslCertificate &certificate, const QSslKey &key)
{
    _tls = true;
    _certificate = certificate;
    _key = key;
}

QUrl HttpFixture::url(const QString &path, const QString &hostName) const
{
    QUrl address;
    address.setScheme(_tls ? QStringLiteral("https") : QStringLiteral("http"));
    address.setHost(hostName);
    address.setPort(serverPort());
    const int hash = path.indexOf(QLatin1Char('#'));
    const QString beforeFragment = hash < 0 ? path : path.left(hash);
    const int question = beforeFragment.indexOf(QLatin1Char('?'));
    address.setPath(question < 0 ? beforeFragment : beforeFragment.left(question));
    if (question >= 0)
        address.setQuery(beforeFragment.mid(question + 1));
    if (hash >= 0)
        address.setFragment(path.mid(hash + 1));
    return address;
}

void HttpFixture::setResponse(const QByteArray &path, const HttpResponse &response)
{
    _responses.insert(path, response);
}

void HttpFixture::setPage(const QByteArray &path, const QByteArray &html)
{
    HttpResponse response;
    response.body = html;
    setResponse(path, response);
}

void HttpFixture::setRedirect(const QByteArray &path, const QUrl &location)
{
    HttpResponse response;
    response.status = 302;
    response.headers.append({"Location", location.toEncoded()});
    setResponse(path, response);
}

QList<HttpRequest> HttpFixture::requestsFor(const QByteArray &path) const
{
    QList<HttpRequest> matching;
    for (const HttpRequest &request : _requests) {
        if (request.path == path)
            matching.append(request);
    }
    return matching;
}

QByteArray HttpFixture::pngBytes()
{
    return png(1, 1);
}

void HttpFixture::incomingConnection(qintptr socketDescriptor)
{
    ++_connectionCount;
    QTcpSocket *socket = nullptr;
    if (_tls) {
        auto *sslSocket = new QSslSocket(this);
        if (!sslSocket->setSocketDescriptor(socketDescriptor)) {
            delete sslSocket;
            return;
        }
        sslSocket->setLocalCertificate(_certificate);
        sslSocket->setPrivateKey(_key);
        sslSocket->startServerEncryption();
        socket = sslSocket;
    } else {
        socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(socketDescriptor)) {
            delete socket;
            return;
        }
    }
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        _buffers.remove(socket);
        socket->deleteLater();
    });
}

void HttpFixture::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buffer = _buffers[socket];
    buffer.append(socket->readAll());
    HttpRequest request;
    while (takeRequest(buffer, request)) {
        _requests.append(request);
        emit requestReceived(request);
        respond(socket, request);
    }
}

bool HttpFixture::takeRequest(QByteArray &buffer, HttpRequest &request) const
{
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return false;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    HttpRequest parsed;
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    parsed.method = requestLine.value(0);
    parsed.path = pathWithoutFragment(requestLine.value(1));
    int contentLength = 0;
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        parsed.headers.append({name, value});
        if (name.compare("Host", Qt::CaseInsensitive) == 0)
            parsed.host = value;
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            contentLength = value.toInt();
    }
    const int bodyStart = headerEnd + 4;
    if (buffer.size() - bodyStart < contentLength)
        return false;
    parsed.body = buffer.mid(bodyStart, contentLength);
    buffer.remove(0, bodyStart + contentLength);
    request = parsed;
    return true;
}

void HttpFixture::respond(QTcpSocket *socket, const HttpRequest &request)
{
    const QByteArray path = request.path.split('?').value(0);
    HttpResponse response;
    if (_responses.contains(request.path))
        response = _responses.value(request.path);
    else if (_responses.contains(path))
        response = _responses.value(path);
    else
        response = HttpResponse{404, "text/plain", "not found", {}, 0};

    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                      reasonPhrase(response.status) + "\r\n";
    head += "Content-Type: " + response.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    head += "Cache-Control: no-store\r\n";
    for (const auto &header : response.headers)
        head += header.first + ": " + header.second + "\r\n";
    head += "\r\n";
    if (response.delayMs > 0)
        QTimer::singleShot(response.delayMs, socket, [this, socket, head, response] { send(socket, head, response); });
    else
        send(socket, head, response);
}

void HttpFixture::send(QTcpSocket *socket, const QByteArray &head, const HttpResponse &response)
{
    if (response.cutAfterBytes < 0) {
        socket->write(head + response.body);
        return;
    }
    socket->write(head + response.body.left(response.cutAfterBytes));
    if (response.cut == HttpResponse::Cut::Stall) {
        _stalled.append({socket, response.body.mid(response.cutAfterBytes)});
        return;
    }
    // A zero linger time turns the close into a reset (RST), not an orderly end.
    socket->flush();
    const linger resetOnClose{1, 0};
    ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &resetOnClose, sizeof resetOnClose);
    socket->abort();
}

void HttpFixture::resumeStalled()
{
    for (const auto &stalled : std::as_const(_stalled)) {
        if (stalled.first)
            stalled.first->write(stalled.second);
    }
    _stalled.clear();
}

SelfSignedCertificate SelfSignedCertificate::generate()
{
    SelfSignedCertificate generated;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        generated.error = QStringLiteral("no temporary folder");
        return generated;
    }
    const QString keyPath = dir.filePath(QStringLiteral("key.pem"));
    const QString certificatePath = dir.filePath(QStringLiteral("cert.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=localhost"), QStringLiteral("-days"), QStringLiteral("1"),
                   QStringLiteral("-keyout"), keyPath, QStringLiteral("-out"), certificatePath});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
        generated.error = QString::fromLocal8Bit(openssl.readAllStandardError());
        return generated;
    }
    QFile keyFile(keyPath);
    QFile certificateFile(certificatePath);
    if (!keyFile.open(QIODevice::ReadOnly) || !certificateFile.open(QIODevice::ReadOnly)) {
        generated.error = QStringLiteral("openssl wrote no files");
        return generated;
    }
    generated.key = QSslKey(keyFile.readAll(), QSsl::Rsa);
    generated.certificate = QSslCertificate(certificateFile.readAll());
    if (generated.key.isNull() || generated.certificate.isNull())
        generated.error = QStringLiteral("unreadable key or certificate");
    return generated;
}

} // namespace testsupport
