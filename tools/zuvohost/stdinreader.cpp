#include "stdinreader.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

StdinReader::StdinReader(int fd, QObject *parent)
    : QObject(parent)
    , _fd(fd)
{
    if (::fcntl(_fd, F_GETFD) == -1) {
        // A closed descriptor reads like an empty file; the owner connects
        // its slots after construction, so report the end from the loop.
        QTimer::singleShot(0, this, &StdinReader::finish);
        return;
    }
    _notifier = new QSocketNotifier(_fd, QSocketNotifier::Read, this);
    connect(_notifier, &QSocketNotifier::activated, this, &StdinReader::readAvailable);
}

void StdinReader::readAvailable()
{
    char buffer[4096];
    const ssize_t count = ::read(_fd, buffer, sizeof buffer);
    if (count < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (count <= 0) {
        finish();
        return;
    }
    _pending.append(buffer, int(count));
    emitCompleteLines();
}

void StdinReader::emitCompleteLines()
{
    int start = 0;
    for (int end = _pending.indexOf('\n'); end >= 0; end = _pending.indexOf('\n', start)) {
        emit lineRead(QString::fromUtf8(_pending.constData() + start, end - start));
        start = end + 1;
    }
    _pending.remove(0, start);
}

void StdinReader::finish()
{
    if (_notifier) {
        _notifier->setEnabled(false);
        _notifier->deleteLater();
        _notifier = nullptr;
    }
    if (!_pending.isEmpty())
        emit lineRead(QString::fromUtf8(_pending));
    _pending.clear();
    emit endOfInput();
}
