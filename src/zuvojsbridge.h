#pragma once

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QSemaphore>
#include <QString>

class QEventLoop;

// The object pages reach as window.zuvowebkitbridge. Its slots are what
// scripts call; its signals carry the page's requests to the window.
class ZuvoJsBridge : public QObject
{
    Q_OBJECT

public:
    explicit ZuvoJsBridge(QObject *parent = nullptr);

    // The host's answer to a user-information query, as JSON bytes.
    void onCurrentUserInfo(QByteArray json);
    // The host is gone: a page waiting for its answer gets none at once, and
    // later queries get none either.
    void stopWaiting();
    // A page is blocked in a query (and events run under it).
    bool isWaiting() const { return _waiting; }

signals:
    void receiveLog(QString log);
    void receiveMessage(QString msg);
    void getWebMessage(QString msg);
    void currentUserInfo(QString requestID);

public slots:
    void postLog(QString log);
    bool postMessage(QString msg);
    // Blocks the calling script, not the thread: events keep running while
    // the host is asked, for at most about three seconds.
    QString getCurrentUserInfo();

private:
    QString beginUserInfoRequest();
    void waitForUserInfo();
    void waitForWakeOrTimeout();
    QString endUserInfoRequest();

    QSemaphore _sem{0};
    QMutex _mutex;
    QString _requestCurrentUserInfoID;
    QString _requestCurrentUserInfoValue;
    // The wait that a matching reply ends early; null when none runs.
    QEventLoop *_replyWait = nullptr;
    bool _waiting = false;
    bool _stopped = false;
};
