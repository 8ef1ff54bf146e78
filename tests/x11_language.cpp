// The window in its user's language, end to end: started on a Chinese
// desktop (LANG=zh_CN.UTF-8, nothing from the host), the find bar's count,
// the right-click menu and the save dialog's title and buttons speak Chinese;
// once the host sends `language` "de", the same window speaks German without
// a restart. The texts are read
// from the browser's own account of what it shows (zuvo.text); screenshots of
// each are kept for people to look at the glyphs.
#include "browserrun.h"
#include "contentlayout.h"
#include "httpfixture.h"
#include "x11driver.h"
#include "zuvochatwbconfigure.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

using testsupport::HttpFixture;

namespace {

const int timeout = 20000;

const HostSettings settings = {
    {QStringLiteral("title"), QStringLiteral("Zuvo Language")},
    {QStringLiteral("windowsRect"), QStringLiteral("300,200,800,560")},
};

const QByteArray page = R"(<!doctype html><html><head><title>language</title></head>
<body style="margin:0;background:#ffffff;font:24px sans-serif">
<a download href="/files/report.bin" style="position:absolute;left:20px;top:80px">report</a>
<p style="position:absolute;left:20px;top:160px;margin:0">apple pear apple</p>
<script>window.zuvowebkitbridge.postLog('ready');</script>
</body></html>)";

const QPoint linkSpot(40, 92);

// Mnemonics marked as Qt marks them ("S&peichern", "保存(&S)") read as the words.
QString withoutMnemonic(QString text)
{
    static const QRegularExpression bracketed(QStringLiteral("\\(&\\w\\)"));
    return text.remove(bracketed).remove(QLatin1Char('&'));
}

} // namespace

class tst_Language : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void windowSpeaksTheUsersLanguage_data();
    void windowSpeaksTheUsersLanguage();

private:
    // The latest line of the browser's text log that starts with prefix,
    // without it; empty when none came within the timeout.
    QString waitForText(const QString &prefix, const QString &containing);
    QPoint onPage(const QPoint &pagePoint) const;
    QRect client() const { return x11::clientGeometry(_window); }
    x11::WindowId newWindowOf(const QList<x11::WindowId> &before) const;
    void keep(const QRect &area, const QString &what);

    HttpFixture _server;
    std::unique_ptr<BrowserRun> _browser;
    x11::WindowId _window = 0;
    QString _log;
};

void tst_Language::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(_server.listenOn());
    _server.setPage("/page", page);
    _server.setResponse("/files/report.bin", testsupport::HttpResponse{200, "application/octet-stream", "data", {}, 0});

    _browser = std::make_unique<BrowserRun>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // A Chinese desktop: what ctest sets for its own runs must not outrank it.
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("zh_CN.UTF-8"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zuvo.text.debug=true"));
    _browser->process().setProcessEnvironment(environment);
    QVERIFY(_browser->start(timeout));
    _browser->configure(settings);
    _browser->showUrl(_server.url(QStringLiteral("/page")));
    _window = _browser->waitForWindow(timeout);
    QVERIFY2(_window, "the browser mapped no window");
    QTRY_COMPARE_WITH_TIMEOUT(_browser->texts(QStringLiteral("receiveLog")).size(), 1, timeout);
    x11::activateWindow(_window);
}

void tst_Language::cleanupTestCase()
{
    _browser.reset();
}

QString tst_Language::waitForText(const QString &prefix, const QString &containing)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeout) {
        _log += QString::fromUtf8(_browser->process().readAllStandardError());
        const QStringList lines = _log.split(QLatin1Char('\n'));
        for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
            const int at = line->indexOf(prefix);
            if (at >= 0 && line->contains(containing))
                return line->mid(at + prefix.size()).trimmed();
        }
        QTest::qWait(50);
    }
    qWarning("the browser's texts so far:\n%s", qPrintable(_log));
    return QString();
}

QPoint tst_Language::onPage(const QPoint &pagePoint) const
{
    const QRect area = client();
    return area.topLeft() + ContentLayout(area.size()).rectOf("webview").topLeft() + pagePoint;
}

x11::WindowId tst_Language::newWindowOf(const QList<x11::WindowId> &before) const
{
    for (x11::WindowId window : x11::visibleWindowsOf(_browser->pid())) {
        if (!before.contains(window))
            return window;
    }
    return 0;
}

void tst_Language::keep(const QRect &area, const QString &what)
{
    x11::keepScreenshot(x11::screenshot().copy(area), QStringLiteral("language-%1-%2-%3")
                                                          .arg(QLatin1String(QTest::currentDataTag()), what,
                                                               QFileInfo(BrowserRun::underTest()).fileName()));
}

void tst_Language::windowSpeaksTheUsersLanguage_data()
{
    QTest::addColumn<QString>("language"); // sent by the host; empty: none
    QTest::addColumn<QString>("count");    // the find bar on the first of two matches
    QTest::addColumn<QString>("menuEntry");
    QTest::addColumn<QString>("dialogTitle");
    QTest::addColumn<QStringList>("dialogButtons");

    // In this order, on one window: the second row changes its language.
    QTest::newRow("zh_CN-desktop") << QString() << QString::fromUtf8("第 1 个，共 2 个")
                                   << QString::fromUtf8("复制链接地址") << QString::fromUtf8("保存文件")
                                   << QStringList{QString::fromUtf8("保存"), QString::fromUtf8("取消")};
    QTest::newRow("language-de") << "de" << "1 von 2" << "Link-Adresse kopieren" << "Datei speichern"
                                 << QStringList{"Speichern", "Abbrechen"};
}

void tst_Language::windowSpeaksTheUsersLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, count);
    QFETCH(QString, menuEntry);
    QFETCH(QString, dialogTitle);
    QFETCH(QStringList, dialogButtons);
    QVERIFY(_window);

    const QRect topOfWindow(client().topLeft(), QSize(client().width(), 120));
    // Sent to the open window, whose find bar may still be open: its count
    // and the title bar's built-in captions follow at once.
    if (!language.isEmpty())
        _browser->send(QStringLiteral("config"), QStringLiteral("language"), language);
    x11::click(onPage(QPoint(400, 400)));
    x11::pressKeys({QStringLiteral("ctrl+f")});
    QTest::qWait(300); // the field takes the focus
    if (language.isEmpty())
        QProcess::execute(QStringLiteral("xdotool"), {"type", "--delay", "40", "apple"});
    QCOMPARE(waitForText(QStringLiteral("find bar:"), count), count);
    QTest::qWait(300); // drawn
    keep(topOfWindow, QStringLiteral("findbar"));

    QList<x11::WindowId> before = x11::visibleWindowsOf(_browser->pid());
    x11::rightClick(onPage(linkSpot));
    QCOMPARE(waitForText(QStringLiteral("page menu:"), menuEntry).section(QStringLiteral(" | "), 0, 0), menuEntry);
    x11::WindowId menu = 0;
    QTRY_VERIFY_WITH_TIMEOUT((menu = newWindowOf(before)) != 0, timeout);
    QTest::qWait(300); // drawn
    keep(x11::clientGeometry(menu).marginsAdded(QMargins(4, 4, 4, 4)), QStringLiteral("menu"));
    x11::pressKeys({QStringLiteral("Escape")});
    QTRY_VERIFY_WITH_TIMEOUT(!x11::visibleWindowsOf(_browser->pid()).contains(menu), timeout);

    before = x11::visibleWindowsOf(_browser->pid());
    x11::click(onPage(linkSpot));
    x11::WindowId dialog = 0;
    QTRY_VERIFY_WITH_TIMEOUT((dialog = newWindowOf(before)) != 0, timeout);
    // The title as the window manager shows it, then the buttons as the
    // browser put them up.
    QTRY_COMPARE_WITH_TIMEOUT(x11::windowName(dialog), dialogTitle, timeout);
    const QString shown = withoutMnemonic(waitForText(QStringLiteral("save dialog:"), dialogTitle));
    for (const QString &button : dialogButtons)
        QVERIFY2(shown.section(QLatin1Char('|'), 1).contains(button), qPrintable(shown));
    QTest::qWait(500); // drawn
    keep(x11::clientGeometry(dialog), QStringLiteral("savedialog"));
    x11::activateWindow(dialog);
    x11::pressKeys({QStringLiteral("Escape")});
    QTRY_VERIFY_WITH_TIMEOUT(!x11::visibleWindowsOf(_browser->pid()).contains(dialog), timeout);
    keep(client(), QStringLiteral("window"));
}

QTEST_MAIN(tst_Language)
#include "x11_language.moc"
