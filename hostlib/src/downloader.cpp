#include "downloader.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

namespace Zuvo {

Downloader::Downloader(QObject *parent)
    : QObject(parent)
{
}

Downloader::~Downloader()
{
    cancelAll();
}

void Downloader::start(const QString &key, const QUrl &url, const QString &path)
{
    cancel(key);
    Transfer transfer;
    transfer.file = std::make_shared<QSaveFile>(path);
    if (!transfer.file->open(QIODevice::WriteOnly)) {
        const QString error = transfer.file->errorString();
        // Reported from the event loop, as every other ending is.
        QMetaObject::invokeMethod(this, [this, key, error] { emit finished(key, error, 0); }, Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    if (!_accessToken.isEmpty())
        request.setRawHeader(QByteArrayLiteral("X-Access-Token"), _accessToken.toUtf8());
    transfer.reply = _network.get(request);
    _transfers.insert(key, transfer);

    connect(transfer.reply, &QNetworkReply::readyRead, this, [this, key] { onReadyRead(key); });
    connect(transfer.reply, &QNetworkReply::finished, this, [this, key] { onFinished(key); });
}

void Downloader::cancel(const QString &key)
{
    const auto it = _transfers.find(key);
    if (it == _transfers.end())
        return;
    const Transfer transfer = it.value();
    _transfers.erase(it);
    transfer.reply->disconnect(this);
    transfer.reply->abort();
    transfer.reply->deleteLater();
    transfer.file->cancelWriting();
}

void Downloader::cancelAll()
{
    const QStringList keys = _transfers.keys();
    for (const QString &key : keys)
        cancel(key);
}

void Downloader::onReadyRead(const QString &key)
{
    const auto it = _transfers.find(key);
    if (it == _transfers.end())
        return;
    const QByteArray bytes = it->reply->readAll();
    if (it->file->write(bytes) != bytes.size()) {
        fail(key, it->file->errorString());
        return;
    }
    it->written += bytes.size();
    // Counted here rather than taken from downloadProgress, which the network
    // layer holds back to a few a second and so can leave a stalled transfer
    // showing less than has arrived.
    const QVariant length = it->reply->header(QNetworkRequest::ContentLengthHeader);
    emit progressed(key, it->written, length.isValid() ? length.toLongLong() : -1);
}

void Downloader::onFinished(const QString &key)
{
    const auto it = _transfers.find(key);
    if (it == _transfers.end())
        return;
    if (it->reply->error() != QNetworkReply::NoError) {
        fail(key, it->reply->errorString());
        return;
    }
    onReadyRead(key);
    if (!_transfers.contains(key))
        return;
    end(key, QString());
}

void Downloader::fail(const QString &key, const QString &error)
{
    end(key, error.isEmpty() ? QStringLiteral("unknown error") : error);
}

void Downloader::end(const QString &key, const QString &error)
{
    Transfer transfer = _transfers.take(key);
    transfer.reply->disconnect(this);
    if (error.isEmpty() && !transfer.file->commit()) {
        transfer.reply->deleteLater();
        emit finished(key, transfer.file->errorString(), transfer.written);
        return;
    }
    if (!error.isEmpty()) {
        transfer.reply->abort();
        transfer.file->cancelWriting();
    }
    transfer.reply->deleteLater();
    emit finished(key, error, transfer.written);
}

} // namespace Zuvo
