#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>

// The Wayland session as a user and the compositor see it (sway, from the
// environment scripts/with-sway.sh sets up): where the compositor put a
// process's window, screenshots, and a pointer of the compositor's own,
// since the headless seat has no real one. Coordinates are those of the
// compositor's output layout.
namespace wayland {

// The rectangle sway gives the process's (first) window, null while it has none.
QRect windowRect(qint64 pid);
// The whole output layout, as grim captures it.
QImage screenshot();

// A pointer on the compositor's seat through its virtual-pointer protocol,
// spoken on the compositor's socket without a client library.
class VirtualPointer
{
public:
    VirtualPointer();
    ~VirtualPointer();

    // Connects and creates the pointer; false (with errorString) when the
    // compositor is not there or does not offer the protocol.
    bool open(const QSize &layoutSize);
    QString errorString() const { return _error; }

    void moveTo(const QPoint &position);
    void press();
    void release();
    // Press at from, move to to in a few steps, release there. The press is
    // given time to reach the client first: what it starts (a move or resize
    // by the compositor) takes the pointer from where it is when it starts.
    void drag(const QPoint &from, const QPoint &to, int steps = 6);

private:
    class Connection;
    void button(bool pressed);
    quint32 now() const;

    std::unique_ptr<Connection> _connection;
    QSize _layout;
    quint32 _pointer = 0;
    QString _error;
};

} // namespace wayland
