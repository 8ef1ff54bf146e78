#include "signalwatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalSockets[2] = {-1, -1};
const int watchedSignals[] = {SIGINT, SIGTERM};

void writeSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

void setHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : watchedSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

} // namespace

SignalWatcher::SignalWatcher(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0)
        return;
    _notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(_notifier, &QSocketNotifier::activated, this, &SignalWatcher::readSignal);
    setHandler(&writeSignalNumber);
}

SignalWatcher::~SignalWatcher()
{
    if (!_notifier)
        return;
    setHandler(SIG_DFL);
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

void SignalWatcher::readSignal()
{
    unsigned char byte = 0;
    if (::read(signalSockets[1], &byte, 1) == 1)
        emit signalled(byte);
}
