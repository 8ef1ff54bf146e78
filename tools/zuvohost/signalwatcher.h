#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal. The handler only writes the
// signal number into a socket pair; the event loop reads it, so everything
// that reacts runs outside the handler. One watcher per process.
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool isWatching() const { return _notifier != nullptr; }

signals:
    void signalled(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *_notifier = nullptr;
};
