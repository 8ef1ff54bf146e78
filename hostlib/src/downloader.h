#pragma once

#include <QByteArray>
#include <QHash>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkReply;
class QSaveFile;

namespace Zuvo {

// Fetches addresses into files, several at a time, each under a key. A file
// is streamed to disk beside its target and takes the target's place only
// once every byte has arrived, so a failed or cancelled transfer never leaves
// a truncated file under the chosen name nor destroys the one already there.
class Downloader : public QObject
{
    Q_OBJECT

public:
    explicit Downloader(QObject *parent = nullptr);
    ~Downloader() override;

    // An empty token sends no X-Access-Token header at all.
    void setAccessToken(const QString &token) { _accessToken = token; }

    // A transfer already running under the key is cancelled first.
    void start(const QString &key, const QUrl &url, const QString &path);
    // Cancelled transfers report nothing.
    void cancel(const QString &key);
    void cancelAll();
    bool isRunning(const QString &key) const { return _transfers.contains(key); }

signals:
    // total is negative while the size is unknown.
    void progressed(const QString &key, qint64 received, qint64 total);
    // error is empty when the file is complete, with size bytes.
    void finished(const QString &key, const QString &error, qint64 size);

private:
    struct Transfer {
        QNetworkReply *reply = nullptr;
        std::shared_ptr<QSaveFile> file;
        qint64 written = 0;
    };

    void onReadyRead(const QString &key);
    void onFinished(const QString &key);
    void fail(const QString &key, const QString &error);
    void end(const QString &key, const QString &error);

    QNetworkAccessManager _network;
    QString _accessToken;
    QHash<QString, Transfer> _transfers;
};

} // namespace Zuvo
