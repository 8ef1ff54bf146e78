#include "hostlinkharness.h"

#include "button.h"
#include "transport/transport.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"

#include "transport/messageframer.h"
#include "transport/wirecodec.h"

#include <QApplication>
#include <QHash>
#include <QJsonDocument>
#include <QLabel>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QNetworkProxyFactory>
#include <QUuid>

namespace hostlinkharness {

namespace {

// An address from the input must never leave the machine: every request goes
// to a loopback port where nothing listens.
class LoopbackOnly : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &) override
    {
        return {QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), 9)};
    }
};

void quiet(QtMsgType, const QMessageLogContext &, const QString &)
{
}

// The host's end of the link: it reads the browser's requests so that the
// line form can answer them under their real keys.
struct HostEnd {
    QLocalServer server;
    QLocalSocket *socket = nullptr;
    MessageFramer framer;
    QHash<QByteArray, QByteArray> keys; // marker -> latest request key
};

HostEnd *host = nullptr;
int eventTurnStride = 1;
bool fuzzing = false;

// WebKit takes 100 to 250 microseconds to start a load before it returns, as
// much as a whole input without one. Every further load in an input counts as
// new coverage to the fuzzer, so without a limit its corpus fills with inputs
// of dozens of addresses, each as slow as thirty others, which reach nothing
// of ours that two loads do not.
constexpr int maxLoadsPerInput = 2;

QByteArray keyMarker(const QString &group, const QString &command)
{
    if (group == QLatin1String("webfile") && command == QLatin1String("getFileList"))
        return "$LIST$";
    if (group == QLatin1String("webfile") && command == QLatin1String("getDownloadOffset"))
        return "$OFFSET$";
    if (group == QLatin1String("webfile") && command == QLatin1String("startDownload"))
        return "$DOWNLOAD$";
    if (group == QLatin1String("iq") && command == QLatin1String("currentuserinfo"))
        return "$USERINFO$";
    return QByteArray();
}

void readRequests()
{
    if (!host->socket)
        host->socket = host->server.nextPendingConnection();
    if (!host->socket)
        return;
    for (const QString &text : host->framer.append(host->socket->readAll())) {
        const wirecodec::Message message = wirecodec::decode(text);
        const QByteArray marker = keyMarker(message.group, message.command);
        if (marker.isEmpty())
            continue;
        const QJsonObject json = QJsonDocument::fromJson(message.payload).object();
        host->keys[marker] = json.isEmpty() ? message.payload : json.value(QStringLiteral("key")).toString().toUtf8();
    }
}

// The download panel, opened as the user opens it, so that its replies reach
// real handlers; an address from the input closes it, so it opens again.
void openPanel()
{
    const auto *window = qobject_cast<ZuvoChatWebBroswer *>(QApplication::topLevelWidgets().value(0));
    auto *button = window ? window->findChild<Button *>(QStringLiteral("webFile")) : nullptr;
    const auto *back = window ? window->findChild<Button *>(QStringLiteral("webFileBack")) : nullptr;
    if (button && back && back->isHidden())
        emit button->clicked();
}

void settle()
{
    // When fuzzing, painting the window after every input would cost more
    // than the input; one turn of the event loop in 32 still paints, measures
    // and runs what the inputs queued, and the first input of a run always
    // gets its turn.
    static int inputs = 0;
    if (inputs++ % eventTurnStride == 0) {
        openPanel();
        QCoreApplication::processEvents();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    readRequests();
}

QByteArray withKeys(QByteArray payload)
{
    for (auto it = host->keys.cbegin(); it != host->keys.cend(); ++it)
        payload.replace(it.key(), it.value());
    return payload;
}

QByteArray encodedLine(const QByteArray &line)
{
    if (!line.startsWith('@'))
        return QByteArray();
    const int first = line.indexOf(':');
    const int second = first < 0 ? -1 : line.indexOf(':', first + 1);
    if (second < 0)
        return QByteArray();
    return line.mid(1, second) + withKeys(line.mid(second + 1)).toBase64() + ';';
}

// The input up to its third "showUrl", when fuzzing.
QByteArray withinLoadLimit(const QByteArray &input)
{
    if (!fuzzing)
        return input;
    static const QByteArray load("showUrl");
    int from = -1;
    for (int loads = 0; loads <= maxLoadsPerInput; ++loads) {
        from = input.indexOf(load, from + 1);
        if (from < 0)
            return input;
    }
    return input.left(from);
}

void connectHost()
{
    host = new HostEnd;
    const QString name = QStringLiteral("zuvo-fuzz-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    host->server.listen(name);
    transport::shareInstance()->connectToZuvo(name);
    for (int i = 0; i < 100 && !host->socket; ++i) {
        host->server.waitForNewConnection(10);
        QCoreApplication::processEvents();
        readRequests();
    }
}

} // namespace

void setUp(int *argc, char ***argv)
{
    if (!QCoreApplication::instance()) {
        fuzzing = true;
        eventTurnStride = 32;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Every send fails on the unconnected socket; millions of warnings
        // would cost more than the input itself.
        if (!qEnvironmentVariableIsSet("ZUVO_FUZZ_VERBOSE"))
            qInstallMessageHandler(quiet);
        new QApplication(*argc, *argv);
    }
    QNetworkProxyFactory::setApplicationProxyFactory(new LoopbackOnly);
    ZuvoChatWBConfigure::init();
    connectHost();
    ZuvoChatWebBroswer::newZuvoChatWebBroswer(QStringLiteral("about:blank"), nullptr);
    openPanel();
    QCoreApplication::processEvents();
    readRequests();
}

void feed(const QByteArray &wholeInput)
{
    const QByteArray input = withinLoadLimit(wholeInput);
    transport *link = transport::shareInstance();
    link->receiveBytes(input);
    // Ends whatever the input left unfinished, so inputs do not run together.
    link->receiveBytes(";");
    for (const QByteArray &line : input.split('\n')) {
        const QByteArray message = encodedLine(line);
        if (!message.isEmpty())
            link->receiveBytes(message);
    }
    settle();
}

QString shownMessage()
{
    const auto *window = qobject_cast<ZuvoChatWebBroswer *>(QApplication::topLevelWidgets().value(0));
    if (!window || !window->isVisible())
        return QString();
    const QLabel *message = window->findChild<QLabel *>(QStringLiteral("information"));
    return message ? message->text() : QString();
}

} // namespace hostlinkharness
