// One keystroke in the find bar on WebKitGTK, where the count comes back
// from the helper process: the time from the text changing to the bar's
// result, against a bare WebKitGTK window searching the same page with the
// same calls (bench_bare_webkitgtk --find, the floor), on pages with more
// and more matches. Prints medians of several runs. The bare window needs an
// X server: run under scripts/with-x.sh.
#include "findbar.h"
#include "findpage.h"
#include "median.h"
#include "webcontent.h"
#include "zuvochatwbconfigure.h"
#include "zuvojsbridge.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kRuns = 9;
constexpr int kTimeoutMs = 30000;

template <typename Signal, typename Sender>
void waitFor(Sender *sender, Signal signal)
{
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, [&loop] { loop.quit(); });
    QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
}

// The bare window's median search-to-count time, or -1 without one.
double bareSearchMs(const QUrl &page)
{
    QProcess bare;
    bare.start(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_bare_webkitgtk"),
               {QStringLiteral("--find"), QStringLiteral("apple"), page.toString()});
    if (!bare.waitForFinished(kTimeoutMs)) {
        bare.kill();
        bare.waitForFinished();
        return -1;
    }
    const QList<QByteArray> fields = bare.readAllStandardOutput().simplified().split(' ');
    return fields.size() > 1 && fields.first() == "search_to_count_ms" ? fields.at(1).toDouble() : -1;
}

} // namespace

int main(int argc, char **argv)
{
    WebContent::prepareProcess();
    QApplication app(argc, argv);
    ZuvoChatWBConfigure::init();
    QTemporaryDir pages;
    QTextStream out(stdout);
    out << "WebKitGTK\nmatches  bare window search to count (ms)  keystroke to count (ms)  count shown\n";
    // One page for every size: the helper starts once, as in the browser.
    QWidget holder;
    holder.resize(800, 600);
    ZuvoJsBridge bridge;
    WebContent *content = WebContent::create(&holder, &bridge);
    content->view()->resize(800, 600);
    holder.show();
    for (int matches : {10, 100, 1000, 5000}) {
        QFile file(pages.filePath(QStringLiteral("find%1.html").arg(matches)));
        if (!file.open(QIODevice::WriteOnly) || file.write(findPageWith(matches).toUtf8()) < 0)
            return 1;
        file.close();
        const QUrl page = QUrl::fromLocalFile(file.fileName());
        content->showAddress(page);
        waitFor(content, &WebContent::loadFinished);
        FindBar bar(&holder, content);
        bar.show();
        auto *field = bar.findChild<QLineEdit *>(QStringLiteral("findField"));

        const double keystroke = keystrokeToCountMs(kRuns, field, content, kTimeoutMs);
        out << qSetFieldWidth(7) << matches << qSetFieldWidth(0) << "  " << qSetFieldWidth(32)
            << bareSearchMs(page) << qSetFieldWidth(0) << "  " << qSetFieldWidth(23) << keystroke
            << qSetFieldWidth(0) << "  " << bar.countText() << "\n";
        out.flush();
    }
    // The figures are out; the helper's teardown is not what is measured.
    std::fflush(stdout);
    _exit(0);
}
