#pragma once

#include "messageframer.h"
#include "pagemessagebudget.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// The single link to the host: frames what the host sends into commands and
// writes one message per outgoing command. Losing the link ends the process.
class transport : public QObject
{
    Q_OBJECT

public:
    static transport *shareInstance();

    // The endpoint the host listens on for a browser installed in currentDir.
    static QString serverNameFor(const QString &currentDir);

    void connectToZuvo(QString serverName);
    // Once connected, the process ends at the latest this long after the
    // link does, also while a page script holds the event loop. Only the
    // browser's own process asks for it.
    void endProcessWithLink(int graceMs) { _processGraceMs = graceMs; }

    void refresh();
    void storeToZuvo();
    void shareArtile();
    void showChannel();
    void openOutside();
    // What pages cause is asked of the page budget and may be dropped; every
    // other message always queues. pageTextBytes: the page's whole message.
    void goToChannel(QString channelId, qint64 pageTextBytes);
    void onReceiveLog(QString log);
    // The page budget starts afresh for each document.
    void startPageDocument() { _pageBudget.startNewDocument(); }
    void savePosition(QString value);
    void currentUserInfo(QString requestid);
    void getWebfileList(QString requestid);
    void openFileFoler(QString fileKey);
    void getWebfileDownloadOffset(QString requestid, QStringList fileList);
    void downloadFile(QString requestid, QString url, QString name);
    void redownloadFile(QString requestid, QString key);
    void removeDownloadFile(QString requestid, QString key);
    void removeAllDownloadFile(QString requestid);

    // The receive path without the socket: frames the bytes and dispatches
    // every complete message. socketReading feeds it; tests and benchmarks may too.
    void receiveBytes(const QByteArray &bytes);
    // How many bytes the host has sent so far; lets a caller know a read arrived.
    qint64 receivedByteCount() const { return _receivedBytes.totalBytes(); }

    // The wire form of one message, as the write operations send it.
    static QByteArray encodeMessage(const QString &prefix, const QString &cmd, const QString &value);

signals:
    void windowActive();
    void updateOpenOutside();
    // The link is up and the host is this user's: it may send an address.
    void hostAccepted();

private slots:
    void socketConnected();
    void socketDisconnected();
    void socketError(QLocalSocket::LocalSocketError e);
    void socketWritten(qint64 bytes);
    void socketReading();
    void logPageDrops();

private:
    transport() = default;
    void init();
    void endOfLink();
    bool hostIsOwnUser() const;

    void writeFeedback(const QString &cmd, const QString &value = QString());
    void writeWebfile(const QString &cmd, const QString &value);
    void writeIQ(const QString &cmd, const QString &value);
    void write(const QString &prefix, const QString &cmd, const QString &value);
    void writePageMessage(const QString &cmd, const QString &value, qint64 pageTextBytes);

    void parseCmd(QString cmdString);
    void parseConfigCmd(QString cmd, QString value);
    void parseEventCmd(QString cmd, QString value);
    void parseFeedbackCmd(QString cmd, QString value);
    void parseWebFileCmd(QString cmd, QString value);
    void parseIQCmd(QString cmd, QString value);

    QLocalSocket _socket;
    int _processGraceMs = -1; // negative: the process is not guarded
    bool _hostRefused = false;
    QMutex _receivedBytesMutex;
    MessageFramer _receivedBytes;
    PageMessageBudget _pageBudget;
    QElapsedTimer _clock;
    QTimer _pageDropReport;
};
