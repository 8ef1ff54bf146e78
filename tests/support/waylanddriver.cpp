#include "waylanddriver.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <QtEndian>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace wayland {

namespace {

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000))
        return QByteArray();
    return process.readAllStandardOutput();
}

QRect rectOf(const QJsonObject &node)
{
    const QJsonObject rect = node.value(QStringLiteral("rect")).toObject();
    return QRect(rect.value(QStringLiteral("x")).toInt(), rect.value(QStringLiteral("y")).toInt(),
                 rect.value(QStringLiteral("width")).toInt(), rect.value(QStringLiteral("height")).toInt());
}

QRect findWindow(const QJsonObject &node, qint64 pid)
{
    if (node.value(QStringLiteral("pid")).toVariant().toLongLong() == pid)
        return rectOf(node);
    for (const char *children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue &child : node.value(QLatin1String(children)).toArray()) {
            const QRect found = findWindow(child.toObject(), pid);
            if (!found.isNull())
                return found;
        }
    }
    return QRect();
}

} // namespace

QRect windowRect(qint64 pid)
{
    const QByteArray tree = run(QStringLiteral("swaymsg"), {QStringLiteral("-r"), QStringLiteral("-t"),
                                                            QStringLiteral("get_tree")});
    return findWindow(QJsonDocument::fromJson(tree).object(), pid);
}

QImage screenshot()
{
    return QImage::fromData(run(QStringLiteral("grim"), {QStringLiteral("-")}), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

// The wire format: each message is the object id, then its size in bytes
// (header included) in the high half of a word and the opcode in the low
// half, then the arguments, each a native-endian word; strings are a length
// (terminating zero included) and the bytes padded to a word.
class VirtualPointer::Connection
{
public:
    static constexpr quint32 display = 1;

    ~Connection()
    {
        if (_socket >= 0)
            ::close(_socket);
    }

    bool connectTo(const QByteArray &path)
    {
        _socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (_socket < 0 || path.size() >= int(sizeof address.sun_path))
            return false;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        return ::connect(_socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    }

    quint32 newId() { return _nextId++; }

    void send(quint32 object, quint16 opcode, const QByteArray &arguments)
    {
        QByteArray message = word(object) + word(quint32(8 + arguments.size()) << 16 | opcode) + arguments;
        const char *data = message.constData();
        qsizetype left = message.size();
        while (left > 0) {
            const ssize_t sent = ::send(_socket, data, size_t(left), MSG_NOSIGNAL);
            if (sent <= 0)
                return;
            data += sent;
            left -= sent;
        }
    }

    // Waits until the compositor has handled everything sent so far; false
    // on a protocol error or a silent compositor.
    bool roundTrip()
    {
        const quint32 callback = newId();
        send(display, 0, word(callback)); // wl_display.sync
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 5000) {
            quint32 object = 0;
            quint16 opcode = 0;
            QByteArray arguments;
            if (!readEvent(&object, &opcode, &arguments))
                return false;
            if (object == display && opcode == 0) // wl_display.error
                return false;
            if (object == callback && opcode == 0) // wl_callback.done
                return true;
            if (object == _registry && opcode == 0) // wl_registry.global
                rememberGlobal(arguments);
        }
        return false;
    }

    void getRegistry()
    {
        _registry = newId();
        send(display, 1, word(_registry));
    }

    // Binds the global of this interface; 0 when the compositor has none.
    quint32 bind(const QByteArray &interface, quint32 version)
    {
        if (!_globals.contains(interface))
            return 0;
        const quint32 id = newId();
        send(_registry, 0, word(_globals.value(interface)) + string(interface) + word(version) + word(id));
        return id;
    }

    static QByteArray word(quint32 value) { return QByteArray(reinterpret_cast<const char *>(&value), 4); }

private:
    static QByteArray string(const QByteArray &text)
    {
        QByteArray padded = text + '\0';
        while (padded.size() % 4)
            padded.append('\0');
        return word(quint32(text.size() + 1)) + padded;
    }

    bool readExactly(char *data, qsizetype size)
    {
        while (size > 0) {
            pollfd ready{_socket, POLLIN, 0};
            if (::poll(&ready, 1, 5000) <= 0)
                return false;
            const ssize_t got = ::recv(_socket, data, size_t(size), 0);
            if (got <= 0)
                return false;
            data += got;
            size -= got;
        }
        return true;
    }

    bool readEvent(quint32 *object, quint16 *opcode, QByteArray *arguments)
    {
        quint32 header[2];
        if (!readExactly(reinterpret_cast<char *>(header), sizeof header))
            return false;
        *object = header[0];
        *opcode = quint16(header[1] & 0xffff);
        const quint32 size = header[1] >> 16;
        if (size < 8)
            return false;
        arguments->resize(int(size - 8));
        return readExactly(arguments->data(), arguments->size());
    }

    void rememberGlobal(const QByteArray &arguments)
    {
        if (arguments.size() < 12)
            return;
        quint32 name = 0;
        quint32 length = 0;
        std::memcpy(&name, arguments.constData(), 4);
        std::memcpy(&length, arguments.constData() + 4, 4);
        if (length == 0 || 8 + length > quint32(arguments.size()))
            return;
        _globals.insert(arguments.mid(8, int(length) - 1), name);
    }

    int _socket = -1;
    quint32 _nextId = 2;
    quint32 _registry = 0;
    QHash<QByteArray, quint32> _globals;
};

VirtualPointer::VirtualPointer() = default;
VirtualPointer::~VirtualPointer() = default;

bool VirtualPointer::open(const QSize &layoutSize)
{
    _layout = layoutSize;
    const QByteArray path = qgetenv("XDG_RUNTIME_DIR") + '/' + qgetenv("WAYLAND_DISPLAY");
    _connection = std::make_unique<Connection>();
    if (!_connection->connectTo(path)) {
        _error = QStringLiteral("no compositor at ") + QString::fromLocal8Bit(path);
        return false;
    }
    _connection->getRegistry();
    if (!_connection->roundTrip()) {
        _error = QStringLiteral("the compositor did not list its globals");
        return false;
    }
    const quint32 seat = _connection->bind("wl_seat", 1);
    const quint32 manager = _connection->bind("zwlr_virtual_pointer_manager_v1", 1);
    if (seat == 0 || manager == 0) {
        _error = QStringLiteral("the compositor offers no seat or no virtual pointers");
        return false;
    }
    _pointer = _connection->newId();
    // create_virtual_pointer(seat, new_id)
    _connection->send(manager, 0, Connection::word(seat) + Connection::word(_pointer));
    if (!_connection->roundTrip()) {
        _error = QStringLiteral("the compositor refused the virtual pointer");
        return false;
    }
    return true;
}

quint32 VirtualPointer::now() const
{
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return quint32(clock.elapsed());
}

void VirtualPointer::moveTo(const QPoint &position)
{
    using C = Connection;
    // motion_absolute(time, x, y, x_extent, y_extent), then frame
    _connection->send(_pointer, 1,
                      C::word(now()) + C::word(quint32(position.x())) + C::word(quint32(position.y())) +
                          C::word(quint32(_layout.width())) + C::word(quint32(_layout.height())));
    _connection->send(_pointer, 4, QByteArray());
    _connection->roundTrip();
}

void VirtualPointer::button(bool pressed)
{
    constexpr quint32 leftButton = 0x110; // BTN_LEFT
    using C = Connection;
    _connection->send(_pointer, 2, C::word(now()) + C::word(leftButton) + C::word(pressed ? 1 : 0));
    _connection->send(_pointer, 4, QByteArray());
    _connection->roundTrip();
}

void VirtualPointer::press() { button(true); }
void VirtualPointer::release() { button(false); }

void VirtualPointer::drag(const QPoint &from, const QPoint &to, int steps)
{
    moveTo(from);
    QThread::msleep(100);
    press();
    // The compositor's move or resize starts where the pointer is when the
    // window asks for it: a slow build (the sanitizers) must have asked
    // before the pointer goes on.
    QThread::msleep(1000);
    for (int step = 1; step <= steps; ++step) {
        moveTo(from + (to - from) * step / steps);
        QThread::msleep(50);
    }
    release();
}

} // namespace wayland
