#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace testsupport {

// One request as the server read it.
struct HttpRequest {
    QByteArray method;
    QByteArray path; // with the query, without the fragment
    QByteArray host; // the Host header
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    // Values of a header (case-insensitive name), in the order sent.
    QList<QByteArray> headerValues(const QByteArray &name) const;
    bool hasHeader(const QByteArray &name) const { return !headerValues(name).isEmpty(); }
};

struct HttpResponse {
    int status = 200;
    QByteArray contentType = QByteArrayLiteral("text/html; charset=utf-8");
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    int delayMs = 0; // how long the server sits on the request before answering
    // The body is cut after this many bytes (negative: sent whole). What
    // follows the cut: the connection is reset, or the rest waits until
    // resumeStalled().
    int cutAfterBytes = -1;
    enum class Cut { Reset, Stall } cut = Cut::Reset;
};

// A small HTTP/1.1 server on loopback that serves canned responses by path
// and records every request. With a certificate it speaks HTTPS instead.
class HttpFixture : public QTcpServer
{
    Q_OBJECT

public:
    explicit HttpFixture(QObject *parent = nullptr);

    bool listenOn(const QHostAddress &address = QHostAddress::LocalHost);
    void useTls(const QSslCertificate &certificate, const QSslKey &key);

    // An address on this server, reached under the given host name.
    QUrl url(const QString &path, const QString &hostName = QStringLiteral("127.0.0.1")) const;

    void setResponse(const QByteArray &path, const HttpResponse &response);
    void setPage(const QByteArray &path, const QByteArray &html);
    void setRedirect(const QByteArray &path, const QUrl &location);

    const QList<HttpRequest> &requests() const { return _requests; }
    // Connections accepted, whether or not a request came over them.
    int connectionCount() const { return _connectionCount; }
    QList<HttpRequest> requestsFor(const QByteArray &path) const;
    void clearRequests() { _requests.clear(); }

    // Sends the rest of every body held back at its cut.
    void resumeStalled();
    int stalledCount() const { return _stalled.size(); }

    // A one-pixel PNG, for pages that need an image.
    static QByteArray pngBytes();

signals:
    void requestReceived(const testsupport::HttpRequest &request);

protected:
    void incomingConnection(qintptr socketDescriptor) override;

private:
    void onReadyRead(QTcpSocket *socket);
    // Takes one complete request off the buffer, if there is one.
    bool takeRequest(QByteArray &buffer, HttpRequest &request) const;
    void respond(QTcpSocket *socket, const HttpRequest &request);
    void send(QTcpSocket *socket, const QByteArray &head, const HttpResponse &response);

    bool _tls = false;
    int _connectionCount = 0;
    QSslCertificate _certificate;
    QSslKey _key;
    QHash<QByteArray, HttpResponse> _responses;
    QHash<QTcpSocket *, QByteArray> _buffers;
    QList<HttpRequest> _requests;
    QList<QPair<QPointer<QTcpSocket>, QByteArray>> _stalled;
};

// A self-signed certificate for "localhost", made by openssl for this run.
struct SelfSignedCertificate {
    QSslCertificate certificate;
    QSslKey key;
    QString error; // empty on success
    static SelfSignedCertificate generate();
};

} // namespace testsupport
