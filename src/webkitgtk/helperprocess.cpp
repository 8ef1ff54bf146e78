#include "helperprocess.h"

#include "linux/pspecific_linux.h"
#include "pagecompositor.h"
#include "zuvolog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcessEnvironment>
#include <QThread>
#include <QTimer>

#include <cstdlib>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>


namespace {

QString besideBrowser(const QString &name, const char *buildPath)
{
    // Read from the process itself: the helper may start before the
    // application, which knows its folder, exists.
    const QString browserFolder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    const QString installed = browserFolder + QLatin1Char('/') + name;
    if (QFileInfo::exists(installed))
        return installed;
    // Tests and benchmarks run from elsewhere in the build tree.
    return QString::fromUtf8(buildPath);
}

// WebKit's own processes show nothing on a display (the page reaches the
// helper as pictures), yet GTK starts in each of them. Without WebKit's
// sandbox they open the desktop's display, as in any WebKitGTK program: GTK
// starts there in a fraction of the time it takes on a Wayland display, where
// it reads its whole cursor theme and its settings up front. In the sandbox
// only the browser's compositor is theirs to reach, as the desktop's X server
// would hand a page process every key the user types.
bool pageProcessesUseCompositor(const QProcessEnvironment &environment, bool sandbox)
{
    const bool desktopDisplay = environment.contains(QStringLiteral("DISPLAY"))
                                || environment.contains(QStringLiteral("WAYLAND_DISPLAY"));
    return sandbox || !desktopDisplay;
}

// The helper itself is told the compositor on its command line.
QStringList helperEnvironment(const QString &waylandDisplay, bool sandbox)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("WAYLAND_SOCKET"));
    environment.remove(QStringLiteral("GDK_BACKEND"));
    if (pageProcessesUseCompositor(environment, sandbox)) {
        environment.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), waylandDisplay);
    }
    // The desktop's input method is the browser's: it reaches the page
    // through the compositor, never through one GTK would start on its own.
    environment.insert(QStringLiteral("GTK_IM_MODULE"), QStringLiteral("wayland"));
    const QString sessionBus = psSessionBusAddress(environment);
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), sessionBus);
    // Screen readers read the page through the desktop's accessibility bus,
    // which is found through the session bus; with none, GTK is not to look.
    if (sessionBus == QLatin1String("disabled:"))
        environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    // No portal: nothing the page needs.
    environment.insert(QStringLiteral("GTK_USE_PORTAL"), QStringLiteral("0"));
    // Nothing under the home folder: Mesa's shader cache off, GStreamer's
    // plugin registry in the runtime folder, which lives in memory.
    environment.insert(QStringLiteral("MESA_SHADER_CACHE_DISABLE"), QStringLiteral("true"));
    environment.insert(QStringLiteral("GST_REGISTRY"),
                       environment.value(QStringLiteral("XDG_RUNTIME_DIR"), QDir::tempPath())
                           + QStringLiteral("/zuvochat-gstreamer-registry.bin"));
    return environment.toStringList();
}

// The helper with one end of a socket pair as its stdin and stdout; the
// other end is returned. Its stderr is the browser's.
std::pair<pid_t, int> spawnHelper(const QString &waylandDisplay, bool sandbox)
{
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return {0, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);

    const QByteArray path = QFile::encodeName(HelperProcess::helperPath());
    const QByteArray display = QFile::encodeName(waylandDisplay);
    const QByteArray folder = QFile::encodeName(HelperProcess::extensionFolder());
    const QByteArray sandboxArgument = sandbox ? QByteArrayLiteral("sandbox") : QByteArray();
    // GTK takes "--display NAME" for itself; the rest is the helper's.
    char *const arguments[] = {const_cast<char *>(path.constData()), const_cast<char *>("--display"),
                               const_cast<char *>(display.constData()), const_cast<char *>(folder.constData()),
                               const_cast<char *>(sandboxArgument.constData()), nullptr};
    std::vector<QByteArray> variables;
    for (const QString &variable : helperEnvironment(waylandDisplay, sandbox))
        variables.push_back(variable.toLocal8Bit());
    std::vector<char *> environment;
    for (QByteArray &variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);

    pid_t pid = 0;
    const int failed = posix_spawn(&pid, path.constData(), &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (failed) {
        qCWarning(zuvoWeb) << "the page helper did not start:" << strerror(failed);
        close(ends[0]);
        return {0, -1};
    }
    return {pid, ends[0]};
}

int listenAt(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(name.size()) >= sizeof address.sun_path)
        return -1;
    memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int listening = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listening < 0)
        return -1;
    unlink(address.sun_path);
    if (bind(listening, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(listening, 16) != 0) {
        close(listening);
        return -1;
    }
    return listening;
}

std::optional<HelperProcess::Early> &earlyHelper()
{
    static std::optional<HelperProcess::Early> early;
    return early;
}

} // namespace

HelperProcess::HelperProcess(QObject *parent)
    : QObject(parent)
{
}

HelperProcess::~HelperProcess()
{
    if (!_channel)
        return;
    // The channel closing ends the helper at once; a helper that hangs is
    // not waited for long.
    disconnect(_channel, nullptr, this, nullptr);
    _channel->abort();
    for (int waited = 0; waited < 500 && !reap(); waited += 10)
        QThread::msleep(10);
    if (_pid) {
        kill(pid_t(_pid), SIGKILL);
        waitpid(pid_t(_pid), nullptr, 0);
    }
}

QString HelperProcess::helperPath()
{
    return besideBrowser(QStringLiteral("zuvochatwebkitgtkhelper"), ZUVO_WEBKITGTK_HELPER_BUILD_PATH);
}

QString HelperProcess::extensionFolder()
{
    return besideBrowser(QStringLiteral("zuvochatwebkitgtk-extension"), ZUVO_WEBKITGTK_EXTENSION_BUILD_DIR);
}

void HelperProcess::startEarly(bool sandbox)
{
    PageCompositor::prepareRuntimeFolder();
    const QString name = QStringLiteral("zuvochat-page-%1-early").arg(getpid());
    const QString path = qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + name;
    const int listening = listenAt(path);
    if (listening < 0)
        return;
    const auto [pid, channel] = spawnHelper(name, sandbox);
    if (!pid) {
        close(listening);
        unlink(QFile::encodeName(path).constData());
        return;
    }
    earlyHelper() = Early{pid, channel, listening, path};
    // A browser that ends before it shows a page leaves no socket behind.
    std::atexit([] {
        if (earlyHelper())
            unlink(QFile::encodeName(earlyHelper()->socketPath).constData());
    });
}

std::optional<HelperProcess::Early> HelperProcess::takeEarly()
{
    std::optional<Early> taken;
    taken.swap(earlyHelper());
    return taken;
}

bool HelperProcess::start(const QString &waylandDisplay, bool sandbox)
{
    const auto [pid, channel] = spawnHelper(waylandDisplay, sandbox);
    if (!pid)
        return false;
    attach(pid, channel);
    return true;
}

void HelperProcess::adopt(const Early &early)
{
    attach(early.pid, early.channel);
}

void HelperProcess::attach(qint64 pid, int channel)
{
    // What a helper that ended left half said is not the new one's.
    _framer = helpermessages::Framer();
    delete _channel;
    _channel = new QLocalSocket(this);
    _channel->setSocketDescriptor(channel);
    _pid = pid;
    _running = true;
    connect(_channel, &QLocalSocket::readyRead, this, &HelperProcess::readMessages);
    connect(_channel, &QLocalSocket::disconnected, this, &HelperProcess::onChannelClosed);
}

void HelperProcess::onChannelClosed()
{
    _running = false;
    // Only the helper holds the other end, so it has ended or is ending;
    // it is reaped once gone.
    if (!reap()) {
        auto *retry = new QTimer(this);
        connect(retry, &QTimer::timeout, this, [this, retry] {
            if (reap())
                retry->deleteLater();
        });
        retry->start(50);
    }
    emit ended();
}

bool HelperProcess::reap()
{
    if (!_pid)
        return true;
    const pid_t done = waitpid(pid_t(_pid), nullptr, WNOHANG);
    if (done == 0)
        return false;
    _pid = 0;
    return true;
}

void HelperProcess::send(const char *name, const QStringList &fields)
{
    std::vector<std::string> utf8;
    for (const QString &field : fields)
        utf8.push_back(field.toStdString());
    send(name, utf8);
}

void HelperProcess::send(const char *name, const std::vector<std::string> &fields)
{
    if (!_channel)
        return;
    const std::string bytes = helpermessages::encode({name, fields});
    _channel->write(bytes.data(), qint64(bytes.size()));
}

qint64 HelperProcess::processId() const
{
    return _pid;
}

bool HelperProcess::isRunning() const
{
    return _running;
}

void HelperProcess::readMessages()
{
    // A call that waits for the host runs an event loop under this one, and
    // the socket does not announce what arrives meanwhile: read until dry.
    while (_channel->bytesAvailable() > 0) {
        const QByteArray bytes = _channel->readAll();
        for (const helpermessages::Message &message : _framer.append(bytes.constData(), size_t(bytes.size())))
            emit received(message);
    }
}
