#include "transport/transport.h"
#include "webcontent.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstring>

namespace {

// Compiled into the program, so test mode shows something without a network.
const char *const kTestModeAddress = "qrc:/start/index.html";

bool isTestMode(int argc, char *argv[])
{
    return (argc == 2 || argc == 3) && std::strcmp(argv[1], "test") == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Qt's GLX integration loads Mesa and LLVM although nothing here draws
    // with OpenGL; a user's own setting wins.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    WebContent::prepareProcess();
    QApplication app(argc, argv);
    ZuvoChatWBConfigure::init();

    const QString serverName = transport::serverNameFor(QCoreApplication::applicationDirPath());

    if (isTestMode(argc, argv)) {
        const QString address = argc == 3 ? QString::fromUtf8(argv[2]) : QString::fromLatin1(kTestModeAddress);
        ZuvoChatWebBroswer::newZuvoChatWebBroswer(address, nullptr);
        return app.exec();
    }

    // Half a second after the link ends the event loop ends the process;
    // this is for when a page script holds the loop.
    constexpr int linkEndGraceMs = 1500;
    transport::shareInstance()->endProcessWithLink(linkEndGraceMs);
    transport::shareInstance()->connectToZuvo(serverName);
    return app.exec();
}
