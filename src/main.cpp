#include "language.h"
#include "linux/pspecific_linux.h"
#include "qtcompat_p.h"
#include "transport/transport.h"
#include "webcontent.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QTimer>

#include <cstring>

namespace {

// Compiled into the program, so test mode shows something without a network.
const char *const kTestModeAddress = "qrc:/start/index.html";

bool isTestMode(int argc, char *argv[])
{
    return (argc == 2 || argc == 3) && std::strcmp(argv[1], "test") == 0;
}

// Closing the window from the window manager ends the event loop with the
// window still there; Qt WebEngine crashes at exit when a page outlives the
// application object, so the window goes first.
int runUntilQuit(QApplication &app)
{
    const int exitCode = app.exec();
    ZuvoChatWebBroswer::deleteWindow();
    WebContent::discardPrepared();
    return exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    // Qt's GLX integration loads Mesa and LLVM although nothing here draws
    // with OpenGL; a user's own setting wins.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    qputenv("DBUS_SESSION_BUS_ADDRESS",
             psSessionBusAddress(QProcessEnvironment::systemEnvironment()).toLocal8Bit());

    qtcompat::DisplayScaleAsQt5 displayScale;
    WebContent::prepareProcess();
    QApplication app(argc, argv);
    displayScale.done();
    ZuvoChatWBConfigure::init();
    // The desktop's language until the host names one.
    language::apply(QString());

    const QString serverName = transport::serverNameFor(QCoreApplication::applicationDirPath());

    if (isTestMode(argc, argv)) {
        const QString address = argc == 3 ? QString::fromUtf8(argv[2]) : QString::fromLatin1(kTestModeAddress);
        ZuvoChatWebBroswer::newZuvoChatWebBroswer(address, nullptr);
        return runUntilQuit(app);
    }

    // Half a second after the link ends the event loop ends the process;
    // this is for when a page script holds the loop.
    constexpr int linkEndGraceMs = 1500;
    transport::shareInstance()->endProcessWithLink(linkEndGraceMs);
    // A host that starts the browser ahead of a click gets the page sooner.
    // Queued, so that an address sent with the link's first bytes comes first.
    QObject::connect(transport::shareInstance(), &transport::hostAccepted, &app,
                     [] { QTimer::singleShot(0, &WebContent::prepareFirstPage); });
    transport::shareInstance()->connectToZuvo(serverName);
    return runUntilQuit(app);
}
