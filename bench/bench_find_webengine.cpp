// One keystroke in the find bar on Qt WebEngine, where the count comes back
// later from the page's process: the time from the text changing to the
// bar's result, against the engine's own findText answer (the floor), on
// pages with more and more matches. Prints medians of several runs.
#include "findbar.h"
#include "findpage.h"
#include "median.h"
#include "webcontent.h"
#include "webenginecontent.h"
#include "zuvochatwbconfigure.h"
#include "zuvojsbridge.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTextStream>
#include <QTimer>
#include <QWebEngineFindTextResult>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kRuns = 9;


template <typename Signal, typename Sender>
void waitFor(Sender *sender, Signal signal)
{
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, [&loop] { loop.quit(); });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    WebContent::prepareProcess();
    QApplication app(argc, argv);
    ZuvoChatWBConfigure::init();
    QTextStream out(stdout);
    out << "Qt WebEngine\nmatches  findText answer (ms)  keystroke to count (ms)  count shown\n";
    // One page for every size: the page process starts once, as in the browser.
    QWidget holder;
    holder.resize(800, 600);
    ZuvoJsBridge bridge;
    auto *content = static_cast<WebEngineContent *>(WebContent::create(&holder, &bridge));
    content->view()->resize(800, 600);
    holder.show();
    for (int matches : {10, 100, 1000, 5000}) {
        content->page()->setHtml(findPageWith(matches));
        waitFor(content, &WebContent::loadFinished);
        FindBar bar(&holder, content);
        bar.show();
        auto *field = bar.findChild<QLineEdit *>(QStringLiteral("findField"));

        QWebEnginePage *page = content->page();
        const double floor = medianMs(kRuns, [&] {
            page->findText(QString());
            page->findText(QStringLiteral("apple"));
            waitFor(page, &QWebEnginePage::findTextFinished);
        });
        page->findText(QString());
        const double keystroke = keystrokeToCountMs(kRuns, field, content, 10000);
        out << qSetFieldWidth(7) << matches << qSetFieldWidth(0) << "  " << qSetFieldWidth(20) << floor
            << qSetFieldWidth(0) << "  " << qSetFieldWidth(23) << keystroke << qSetFieldWidth(0) << "  "
            << bar.countText() << "\n";
        out.flush();
    }
    // The figures are out; the engine's teardown is not what is measured.
    std::fflush(stdout);
    _exit(0);
}
