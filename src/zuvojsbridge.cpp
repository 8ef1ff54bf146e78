#include "zuvojsbridge.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QPointer>
#include <QTimer>
#include <QUuid>

namespace {
const int maxWaitAttempts = 100;
const int attemptWaitMs = 30;
}

ZuvoJsBridge::ZuvoJsBridge(QObject *parent)
    : QObject(parent)
{
}

void ZuvoJsBridge::postLog(QString log)
{
    if (!log.isEmpty())
        emit receiveLog(log);
}

bool ZuvoJsBridge::postMessage(QString msg)
{
    if (!msg.isEmpty())
        emit getWebMessage(msg);
    return true;
}

QString ZuvoJsBridge::getCurrentUserInfo()
{
    if (!_requestCurrentUserInfoID.isEmpty() || _stopped)
        return QString();
    // Events run during the wait; one of them may end the window and this
    // object with it, and then nothing of it may be touched again.
    QPointer<ZuvoJsBridge> alive(this);
    emit currentUserInfo(beginUserInfoRequest());
    if (!alive)
        return QString();
    _waiting = true;
    waitForUserInfo();
    if (!alive)
        return QString();
    _waiting = false;
    return endUserInfoRequest();
}

QString ZuvoJsBridge::beginUserInfoRequest()
{
    QMutexLocker locker(&_mutex);
    _requestCurrentUserInfoID = QUuid::createUuid().toString(QUuid::Id128);
    _requestCurrentUserInfoValue.clear();
    return _requestCurrentUserInfoID;
}

void ZuvoJsBridge::waitForUserInfo()
{
    QPointer<ZuvoJsBridge> alive(this);
    for (int attempt = 0; attempt < maxWaitAttempts; ++attempt) {
        QCoreApplication::processEvents();
        if (!alive || _stopped)
            return;
        if (_sem.tryAcquire())
            return;
        waitForWakeOrTimeout();
        if (!alive || _stopped)
            return;
        if (_sem.tryAcquire())
            return;
    }
}

void ZuvoJsBridge::waitForWakeOrTimeout()
{
    // The reply is read on this thread, so sleeping on the semaphore would
    // only delay it; an event loop sleeps until the next event instead and
    // is ended by the reply itself.
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    timeout.setTimerType(Qt::PreciseTimer);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    timeout.start(attemptWaitMs);
    _replyWait = &loop;
    QPointer<ZuvoJsBridge> alive(this);
    loop.exec();
    if (alive)
        _replyWait = nullptr;
}

QString ZuvoJsBridge::endUserInfoRequest()
{
    QMutexLocker locker(&_mutex);
    _requestCurrentUserInfoID.clear();
    QString result = _requestCurrentUserInfoValue;
    _requestCurrentUserInfoValue.clear();
    return result;
}

void ZuvoJsBridge::stopWaiting()
{
    _stopped = true;
    if (_replyWait)
        _replyWait->quit();
}

void ZuvoJsBridge::onCurrentUserInfo(QByteArray json)
{
    const QJsonObject reply = QJsonDocument::fromJson(json).object();
    const QString key = reply.value(QStringLiteral("key")).toString();
    const QString info = reply.value(QStringLiteral("info")).toString();
    {
        QMutexLocker locker(&_mutex);
        if (_requestCurrentUserInfoID.isEmpty() || key != _requestCurrentUserInfoID)
            return;
        // A repeated answer must not leave a resource behind for the next
        // request, which would then end at once with nothing.
        if (_sem.available() > 0)
            return;
        _requestCurrentUserInfoValue = info;
    }
    _sem.release();
    if (_replyWait)
        _replyWait->quit();
}
