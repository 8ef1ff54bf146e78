// Cost of one keystroke in the find bar against highlighting alone (the
// floor, what any find bar pays), on pages with more and more matches; and
// what the count costs once typing pauses, forced at once by Enter.
// Prints medians of several runs.
#include "findbar.h"
#include "findpage.h"
#include "webcontent.h"
#include "zuvochatwebkitview.h"
#include "zuvojsbridge.h"
#include "median.h"
#include "zuvochatwbconfigure.h"

#include <QApplication>
#include <QLineEdit>
#include <QTextStream>
#include <QWebPage>
#include <QWebView>

namespace {

constexpr int kRuns = 9;


} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ZuvoChatWBConfigure::init();
    QTextStream out(stdout);
    out << "matches  highlight only (ms)  keystroke (ms)  keystroke + Enter (ms)  count shown\n";
    for (int matches : {10, 100, 1000, 5000}) {
        QWidget holder;
        ZuvoJsBridge bridge;
        WebContent *content = WebContent::create(&holder, &bridge);
        auto &view = *qobject_cast<ZuvoChatWebKitView *>(content->view());
        view.resize(800, 600);
        view.setHtml(findPageWith(matches));
        FindBar bar(&holder, content);
        bar.show();
        auto *field = bar.findChild<QLineEdit *>(QStringLiteral("findField"));

        const double floor = medianMs(kRuns, [&] {
            view.page()->findText(QString(), QWebPage::HighlightAllOccurrences);
            view.page()->findText(QStringLiteral("apple"), QWebPage::HighlightAllOccurrences);
        });
        const double keystroke = medianMs(kRuns, [&] {
            field->setText(QString());
            field->setText(QStringLiteral("apple"));
        });
        const double counted = medianMs(kRuns, [&] {
            field->setText(QString());
            field->setText(QStringLiteral("apple"));
            bar.findNext();
            bar.findPrevious();
        });
        out << qSetFieldWidth(7) << matches << qSetFieldWidth(0) << "  " << qSetFieldWidth(19) << floor
            << qSetFieldWidth(0) << "  " << qSetFieldWidth(14) << keystroke << qSetFieldWidth(0) << "  "
            << qSetFieldWidth(22) << counted << qSetFieldWidth(0) << "  " << bar.countText() << "\n";
        out.flush();
    }
    return 0;
}
