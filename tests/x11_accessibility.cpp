// The window as a screen reader meets it: the real browser on Xvfb with
// openbox, on an accessibility bus of this test's own (a private session bus
// with at-spi2-core's bus launcher on it), read and driven through libatspi
// as assistive technologies do. Nothing here knows the browser's widgets:
// what counts is what the bus says and what the host receives.
//
// libatspi first: GLib names a structure member "signals", which Qt defines
// as a keyword.
#include <atspi/atspi.h>

#include "browserrun.h"
#include "contentlayout.h"
#include "httpfixture.h"
#include "x11driver.h"
#include "zuvochatwbconfigure.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include <functional>
#include <memory>

using testsupport::HttpFixture;

namespace {

const int timeout = 20000;

struct Unref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using Node = std::unique_ptr<AtspiAccessible, Unref>;

QString taken(gchar *text)
{
    const QString result = QString::fromUtf8(text);
    g_free(text);
    return result;
}

QString roleOf(AtspiAccessible *node)
{
    // Newer libatspi (Debian 13's) calls a push button "button"; the role
    // is the same, and this test names it the one way.
    if (atspi_accessible_get_role(node, nullptr) == ATSPI_ROLE_PUSH_BUTTON)
        return QStringLiteral("push button");
    return taken(atspi_accessible_get_role_name(node, nullptr));
}

QString nameOf(AtspiAccessible *node)
{
    return taken(atspi_accessible_get_name(node, nullptr));
}

bool isShowing(AtspiAccessible *node)
{
    std::unique_ptr<AtspiStateSet, Unref> states(atspi_accessible_get_state_set(node));
    return states && atspi_state_set_contains(states.get(), ATSPI_STATE_SHOWING);
}

// Depth first, parents before children; visit says whether to go below.
void walk(AtspiAccessible *node, int depth, const std::function<bool(AtspiAccessible *, int)> &visit)
{
    if (!visit(node, depth))
        return;
    const int count = atspi_accessible_get_child_count(node, nullptr);
    for (int i = 0; i < count; ++i) {
        Node child(atspi_accessible_get_child_at_index(node, i, nullptr));
        if (child)
            walk(child.get(), depth + 1, visit);
    }
}

// The pages' own trees are the engines' business and can be large.
bool isPageContent(const QString &role)
{
    return role.startsWith(QLatin1String("document")) || role == QLatin1String("html container");
}

// Every node matching, in tree order, outside the page.
std::vector<Node> findAll(AtspiAccessible *root, const std::function<bool(AtspiAccessible *)> &matches)
{
    std::vector<Node> found;
    walk(root, 0, [&](AtspiAccessible *node, int depth) {
        if (matches(node))
            found.emplace_back(static_cast<AtspiAccessible *>(g_object_ref(node)));
        return depth < 12 && !isPageContent(roleOf(node));
    });
    return found;
}

Node findShown(AtspiAccessible *root, const QString &role, const QString &name)
{
    std::vector<Node> found = findAll(root, [&](AtspiAccessible *node) {
        return roleOf(node) == role && nameOf(node) == name && isShowing(node);
    });
    return found.empty() ? Node() : std::move(found.front());
}

QStringList actionsOf(AtspiAccessible *node)
{
    QStringList names;
    std::unique_ptr<AtspiAction, Unref> action(atspi_accessible_get_action_iface(node));
    const int count = action ? atspi_action_get_n_actions(action.get(), nullptr) : 0;
    for (int i = 0; i < count; ++i)
        names << taken(atspi_action_get_action_name(action.get(), i, nullptr));
    return names;
}

bool doAction(AtspiAccessible *node, const QString &name)
{
    const int index = actionsOf(node).indexOf(QRegularExpression(name, QRegularExpression::CaseInsensitiveOption));
    std::unique_ptr<AtspiAction, Unref> action(atspi_accessible_get_action_iface(node));
    return index >= 0 && action && atspi_action_do_action(action.get(), index, nullptr);
}

bool isFocused(AtspiAccessible *node)
{
    std::unique_ptr<AtspiStateSet, Unref> states(atspi_accessible_get_state_set(node));
    return states && atspi_state_set_contains(states.get(), ATSPI_STATE_FOCUSED);
}

// Whether a process is the browser or one it started (a page helper).
bool isOfBrowser(qint64 pid, qint64 browser)
{
    for (int hops = 0; pid > 1 && hops < 8; ++hops) {
        if (pid == browser)
            return true;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        // pid (comm) state ppid ...: the name may hold spaces, not ')'.
        const QByteArray line = stat.readAll();
        pid = line.mid(line.lastIndexOf(')') + 2).split(' ').value(1).toLongLong();
    }
    return false;
}

// The applications on the bus that the browser or a process it started runs.
std::vector<Node> applicationsOf(qint64 browser)
{
    std::vector<Node> found;
    Node desktop(atspi_get_desktop(0));
    const int count = desktop ? atspi_accessible_get_child_count(desktop.get(), nullptr) : 0;
    for (int i = 0; i < count; ++i) {
        Node app(atspi_accessible_get_child_at_index(desktop.get(), i, nullptr));
        if (app && isOfBrowser(atspi_accessible_get_process_id(app.get(), nullptr), browser))
            found.push_back(std::move(app));
    }
    return found;
}

// The buttons, labels and boxes of the window, one line each, indented by
// depth; the page stands as one line unless it is asked for.
QString outline(AtspiAccessible *root, bool withPage = false)
{
    QStringList lines;
    walk(root, 0, [&](AtspiAccessible *node, int depth) {
        const QString role = roleOf(node);
        QString line = QString(depth * 2, QLatin1Char(' ')) + role + QLatin1String(" \"") + nameOf(node)
                       + QLatin1Char('"');
        if (!isShowing(node))
            line += QLatin1String(" (not showing)");
        const QStringList actions = actionsOf(node);
        if (!actions.isEmpty())
            line += QLatin1String(" [") + actions.join(QLatin1String(", ")) + QLatin1Char(']');
        lines << line;
        return withPage ? depth < 30 : depth < 12 && !isPageContent(role);
    });
    return lines.join(QLatin1Char('\n'));
}

QJsonObject record(const QString &key, const QString &name, int status, qint64 size, qint64 offset)
{
    return {{"key", key},          {"name", name},     {"createTime", 1700000000000.0}, {"fileSize", double(size)},
            {"status", status},    {"downloadOffset", double(offset)}, {"fileExists", true}};
}

} // namespace

class tst_Accessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void titleBarButtonsArePushButtons_data();
    void titleBarButtonsArePushButtons();
    void pressActionGivesTheClicksFeedback();
    void pageReachesTheBus();
    void messageBoxIsAnAlertWithItsButton();
    void downloadRowsReadAndAct();

private:
    bool startAccessibilityBus();
    AtspiAccessible *application();
    // The first node of the page with that role and name, in whichever of the
    // browser's processes serves it.
    Node inPage(const QString &role, const QString &name);
    Node shown(const QString &role, const QString &name) { return findShown(application(), role, name); }
    QRect client() const { return x11::clientGeometry(_window); }

    HttpFixture _server;
    QProcess _sessionBus;
    QProcess _busLauncher;
    BrowserRun _browser;
    x11::WindowId _window = 0;
    Node _application;
};

bool tst_Accessibility::startAccessibilityBus()
{
    _sessionBus.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!_sessionBus.waitForStarted() || !_sessionBus.waitForReadyRead(timeout))
        return false;
    const QString address = QString::fromUtf8(_sessionBus.readLine()).trimmed();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    _busLauncher.setProcessEnvironment(environment);
    _busLauncher.start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"), {QStringLiteral("--launch-immediately")});
    if (!_busLauncher.waitForStarted())
        return false;

    // The launcher answers once its bus runs; libatspi then finds that bus
    // through this session bus, as a screen reader does.
    QDeadlineTimer deadline(timeout);
    QString accessibilityBus;
    while (accessibilityBus.isEmpty() && !deadline.hasExpired()) {
        QProcess ask;
        ask.start(QStringLiteral("dbus-send"),
                  {QStringLiteral("--bus=") + address, QStringLiteral("--print-reply=literal"),
                   QStringLiteral("--dest=org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                   QStringLiteral("org.a11y.Bus.GetAddress")});
        ask.waitForFinished();
        if (ask.exitCode() == 0)
            accessibilityBus = QString::fromUtf8(ask.readAllStandardOutput()).trimmed();
        else
            QThread::msleep(100);
    }
    if (accessibilityBus.isEmpty())
        return false;
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    qputenv("AT_SPI_BUS_ADDRESS", accessibilityBus.toUtf8());
    return atspi_init() == 0;
}

void tst_Accessibility::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(startAccessibilityBus());
    QVERIFY(_server.listenOn());
    _server.setPage("/page", "<!doctype html><html><head><title>A11y probe</title></head>"
                             "<body style=\"margin:0;background:#ffffff\"><h1>Heading for readers</h1>"
                             "<p>A paragraph to read.</p><a href=\"/page\">A link named Example</a>"
                             "<p><label>Name <input autofocus></label> <button>Press me</button></p></body></html>");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    _browser.process().setProcessEnvironment(environment);
    QVERIFY(_browser.start(timeout));
    _browser.configure({
        {QStringLiteral("windowsRect"), QStringLiteral("100,100,900,700,0")},
        {QStringLiteral("refreshText"), QStringLiteral("Reload")},
        {QStringLiteral("collectText"), QStringLiteral("Keep")},
        {QStringLiteral("shareText"), QStringLiteral("Pass on")},
        {QStringLiteral("webFileText"), QStringLiteral("Downloads")},
        {QStringLiteral("webFileBackText"), QStringLiteral("Back")},
        {QStringLiteral("webFileOpenInFolderText"), QStringLiteral("Open folder")},
        {QStringLiteral("webFileSuccessText"), QStringLiteral("Done")},
        {QStringLiteral("infoBoxOk"), QStringLiteral("Understood")},
        {QStringLiteral("infoBoxDelete"), QStringLiteral("Delete")},
    });
    _browser.showUrl(_server.url(QStringLiteral("/page")));
    _window = _browser.waitForWindow(timeout);
    QVERIFY(_window);
    const bool found =
        QTest::qWaitFor([&] { return bool(shown(QStringLiteral("push button"), QStringLiteral("Reload"))); }, timeout);
    qInfo().noquote() << "accessibility tree of" << QFileInfo(BrowserRun::underTest()).fileName() << "\n"
                      << (application() ? outline(application()) : QStringLiteral("(not on the bus)"));
    QVERIFY(found);
}

void tst_Accessibility::cleanupTestCase()
{
    _application.reset();
    for (QProcess *process : {&_busLauncher, &_sessionBus}) {
        process->terminate();
        process->waitForFinished();
    }
}

AtspiAccessible *tst_Accessibility::application()
{
    if (_application)
        return _application.get();
    Node desktop(atspi_get_desktop(0));
    const int count = desktop ? atspi_accessible_get_child_count(desktop.get(), nullptr) : 0;
    for (int i = 0; i < count && !_application; ++i) {
        Node app(atspi_accessible_get_child_at_index(desktop.get(), i, nullptr));
        if (app && atspi_accessible_get_process_id(app.get(), nullptr) == guint(_browser.pid()))
            _application = std::move(app);
    }
    // Every read asks the browser: what it said a moment ago may be stale.
    if (_application)
        atspi_accessible_set_cache_mask(_application.get(), ATSPI_CACHE_NONE);
    return _application.get();
}

void tst_Accessibility::titleBarButtonsArePushButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("showing");
    // An image is named by the browser; the rest by their captions.
    QTest::newRow("logo") << "Logo" << true;
    QTest::newRow("refresh") << "Reload" << true;
    QTest::newRow("collect") << "Keep" << true;
    QTest::newRow("share") << "Pass on" << true;
    QTest::newRow("download history") << "Downloads" << true;
    QTest::newRow("back from the history") << "Back" << false;
    QTest::newRow("close, left to the window frame") << "Close" << false;
}

void tst_Accessibility::titleBarButtonsArePushButtons()
{
    QFETCH(QString, name);
    QFETCH(bool, showing);
    std::vector<Node> buttons = findAll(application(), [&](AtspiAccessible *node) {
        return roleOf(node) == QLatin1String("push button") && nameOf(node) == name;
    });
    QCOMPARE(int(buttons.size()), 1);
    QCOMPARE(isShowing(buttons.front().get()), showing);
    QVERIFY2(actionsOf(buttons.front().get()).contains(QStringLiteral("Press"), Qt::CaseInsensitive),
             qPrintable(actionsOf(buttons.front().get()).join(QLatin1Char(' '))));
}

void tst_Accessibility::pressActionGivesTheClicksFeedback()
{
    // Given a refresh by a real click, as the host knows it.
    const ContentLayout layout(client().size());
    x11::click(client().topLeft() + layout.rectOf("refresh").center());
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(QStringLiteral("refresh")).size(), 1, timeout);

    // When a screen reader presses the button.
    Node refresh = shown(QStringLiteral("push button"), QStringLiteral("Reload"));
    QVERIFY(refresh);
    QVERIFY(doAction(refresh.get(), QStringLiteral("^press$")));

    // Then the host hears the same once more.
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(QStringLiteral("refresh")).size(), 2, timeout);
    QCOMPARE(_browser.texts(QStringLiteral("refresh")).last(), _browser.texts(QStringLiteral("refresh")).first());
}

Node tst_Accessibility::inPage(const QString &role, const QString &name)
{
    for (const Node &app : applicationsOf(_browser.pid())) {
        // A page helper's tree keeps libatspi's cache, which its events keep
        // current: uncached, libatspi would ask the helper from inside its
        // own handling of an event, and wait on itself.
        Node found;
        walk(app.get(), 0, [&](AtspiAccessible *node, int depth) {
            if (!found && roleOf(node) == role && nameOf(node) == name)
                found.reset(static_cast<AtspiAccessible *>(g_object_ref(node)));
            return !found && depth < 30;
        });
        if (found)
            return found;
    }
    return Node();
}

void tst_Accessibility::pageReachesTheBus()
{
    if (!BrowserRun::underTestHasPageProcess())
        QSKIP("Qt WebKit hands screen readers a document frame with nothing in it");
    const bool found = QTest::qWaitFor(
        [&] { return bool(inPage(QStringLiteral("heading"), QStringLiteral("Heading for readers"))); }, timeout);
    for (const Node &app : applicationsOf(_browser.pid()))
        qInfo().noquote() << "the page as read:\n" << outline(app.get(), true);
    QVERIFY(found);
    QVERIFY(inPage(QStringLiteral("link"), QStringLiteral("A link named Example")));
    QVERIFY(inPage(QStringLiteral("push button"), QStringLiteral("Press me")));
    // The field the page focused is where a screen reader's focus goes.
    // An entry to WebKitGTK, a text to Qt's bridge.
    const auto fieldFocused = [&] {
        Node field = inPage(QStringLiteral("entry"), QStringLiteral("Name"));
        if (!field)
            field = inPage(QStringLiteral("text"), QStringLiteral("Name"));
        return field && isFocused(field.get());
    };
    QTRY_VERIFY_WITH_TIMEOUT(fieldFocused(), timeout);
}

void tst_Accessibility::messageBoxIsAnAlertWithItsButton()
{
    const QString text = QStringLiteral("Saved to your files");
    _browser.send(QStringLiteral("event"), QStringLiteral("showBoxMessage"), text);
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("alert"), text), timeout);

    Node box = shown(QStringLiteral("alert"), text);
    Node answer = findShown(box.get(), QStringLiteral("push button"), QStringLiteral("Understood"));
    QVERIFY(answer);
    QVERIFY(doAction(answer.get(), QStringLiteral("^press$")));
    QTRY_VERIFY_WITH_TIMEOUT(!shown(QStringLiteral("alert"), text), timeout);
}

void tst_Accessibility::downloadRowsReadAndAct()
{
    // Given the history open through its button, and the host's list.
    const int lists = _browser.texts(QStringLiteral("getFileList")).size();
    Node downloads = shown(QStringLiteral("push button"), QStringLiteral("Downloads"));
    QVERIFY(downloads);
    QVERIFY(doAction(downloads.get(), QStringLiteral("^press$")));
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(QStringLiteral("getFileList")).size(), lists + 1, timeout);
    const QJsonObject reply{{"key", _browser.lastText(QStringLiteral("getFileList"))},
                            {"data", QJsonArray{record("running", "film.mkv", 1, 2000000, 500000),
                                                record("ready", "report.pdf", 2, 1536, 1536)}}};
    _browser.send(QStringLiteral("webfile"), QStringLiteral("getFileListRes"),
                  QString::fromUtf8(QJsonDocument(reply).toJson(QJsonDocument::Compact)));

    // Then a running download reads with its progress, also as a value.
    QTRY_VERIFY_WITH_TIMEOUT(shown(QStringLiteral("list item"), QStringLiteral("film.mkv, Downloading, 25 %")),
                             timeout);
    Node running = shown(QStringLiteral("list item"), QStringLiteral("film.mkv, Downloading, 25 %"));
    std::unique_ptr<AtspiValue, Unref> progress(atspi_accessible_get_value_iface(running.get()));
    QVERIFY(progress);
    QCOMPARE(atspi_value_get_current_value(progress.get(), nullptr), 25.0);
    QCOMPARE(atspi_value_get_maximum_value(progress.get(), nullptr), 100.0);

    // And a finished one offers its link and delete as actions; its link
    // asks the host as a click on it does.
    Node ready = shown(QStringLiteral("list item"), QStringLiteral("report.pdf, Done, 1.5 KB"));
    QVERIFY(ready);
    const QStringList actions = actionsOf(ready.get());
    QVERIFY2(actions.contains(QStringLiteral("Open folder")) && actions.contains(QStringLiteral("Delete")),
             qPrintable(actions.join(QLatin1Char(' '))));
    QVERIFY(doAction(ready.get(), QStringLiteral("^Open folder$")));
    QTRY_COMPARE_WITH_TIMEOUT(_browser.texts(QStringLiteral("openFileFolder")), QStringList{QStringLiteral("ready")},
                              timeout);
    QVERIFY(shown(QStringLiteral("push button"), QStringLiteral("Back")));
    qInfo().noquote() << "with the history open:\n" << outline(application());
}

QTEST_MAIN(tst_Accessibility)
#include "x11_accessibility.moc"
