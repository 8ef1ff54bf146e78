#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// Reads lines from a file descriptor (standard input by default) inside the
// event loop, so a terminal, a pipe or a redirected file all work alike.
class StdinReader : public QObject
{
    Q_OBJECT

public:
    explicit StdinReader(int fd = 0, QObject *parent = nullptr);

signals:
    // Without its line break.
    void lineRead(const QString &line);
    // After the last line; nothing is read afterwards.
    void endOfInput();

private:
    void readAvailable();
    void emitCompleteLines();
    void finish();

    int _fd;
    QSocketNotifier *_notifier = nullptr;
    QByteArray _pending;
};
