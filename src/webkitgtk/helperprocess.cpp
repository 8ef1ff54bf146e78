#include "helperprocess.h"

#include "zuvolog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>


namespace {

QString besideBrowser(const QString &name, const char *buildPath)
{
    const QString installed = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
    if (QFileInfo::exists(installed))
        return installed;
    // Tests and benchmarks run from elsewhere in the build tree.
    return QString::fromUtf8(buildPath);
}

} // namespace

HelperProcess::HelperProcess(QObject *parent)
    : QObject(parent)
    , _process(new QProcess(this))
{
    _process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(_process, &QProcess::readyReadStandardOutput, this, &HelperProcess::readMessages);
    connect(_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this, &HelperProcess::ended);
}

HelperProcess::~HelperProcess()
{
    // Its stdin closing ends the helper at once; a helper that hangs is not
    // waited for.
    _process->closeWriteChannel();
    if (!_process->waitForFinished(500)) {
        _process->kill();
        _process->waitForFinished(500);
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

bool HelperProcess::start(const QString &waylandDisplay, bool sandbox)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), waylandDisplay);
    environment.remove(QStringLiteral("WAYLAND_SOCKET"));
    // No accessibility bus, no portal: nothing the page needs.
    environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("GTK_USE_PORTAL"), QStringLiteral("0"));
    // Nothing under the home folder: Mesa's shader cache off, GStreamer's
    // plugin registry in the runtime folder, which lives in memory.
    environment.insert(QStringLiteral("MESA_SHADER_CACHE_DISABLE"), QStringLiteral("true"));
    environment.insert(QStringLiteral("GST_REGISTRY"),
                       environment.value(QStringLiteral("XDG_RUNTIME_DIR"), QDir::tempPath())
                           + QStringLiteral("/zuvochat-gstreamer-registry.bin"));
    _process->setProcessEnvironment(environment);
    // What a helper that ended left half said is not the new one's.
    _framer = helpermessages::Framer();
    _process->start(helperPath(), {extensionFolder(), sandbox ? QStringLiteral("sandbox") : QString()});
    if (!_process->waitForStarted()) {
        qCWarning(zuvoWeb) << "the page helper did not start:" << _process->errorString();
        return false;
    }
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
    const std::string bytes = helpermessages::encode({name, fields});
    _process->write(bytes.data(), qint64(bytes.size()));
}

qint64 HelperProcess::processId() const
{
    return _process->processId();
}

bool HelperProcess::isRunning() const
{
    return _process->state() != QProcess::NotRunning;
}

void HelperProcess::readMessages()
{
    // A call that waits for the host runs an event loop under this one, and
    // the process does not announce what arrives meanwhile: read until dry.
    while (_process->bytesAvailable() > 0) {
        const QByteArray bytes = _process->readAllStandardOutput();
        for (const helpermessages::Message &message : _framer.append(bytes.constData(), size_t(bytes.size())))
            emit received(message);
    }
}
