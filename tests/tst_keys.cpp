// Keys, zoom and find in page on the real browser window: key presses reach
// the content widget through the toolkit's shortcut handling while the page
// has the focus, the page is served over HTTP on loopback, and the host is a
// real local-socket server.
#include "findbar.h"
#include "hostlink.h"
#include "httpfixture.h"
#include "testsupport.h"
#include "transport/transport.h"
#include "zoomlabel.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"
#include "zuvochatwebbroswer_private.h"
#include "zuvochatwebkitview.h"

#include <QAccessible>
#include <QLineEdit>
#include <QWebFrame>
#include <QWheelEvent>
#include <QtTest>

using Impl = ZuvoChatWebBroswer_impl;
using testsupport::HttpFixture;

namespace {

const QColor barColour(10, 120, 200);

// Every match of "apple" sits in a span of its own so that its place on the
// page can be asked for; "banana" is the control that must stay unmarked.
const QByteArray pageA = R"(<html><head><title>A</title><script>
window.keysSeen = '';
document.addEventListener('keydown', function (e) {
    if (e.keyCode < 16 || e.keyCode > 18) // not Shift, Ctrl or Alt alone
        window.keysSeen += e.keyCode + ' ';
});
</script></head>
<body style="margin: 80px 40px; font: 20px sans-serif; background: white; color: black">
<p><span id="m1">apple</span> pie, <span id="m2">Apple</span> juice, pine<span id="m3">apple</span>,
<span id="c1">banana</span>, <span id="m4">APPLE</span></p>
<p><input id="field" value="typed"> <a id="next" href="/b">next</a></p>
</body></html>)";
const QByteArray pageB = "<html><head><title>B</title></head><body><p>apple again</p></body></html>";

// One key chord as QKeySequence writes it ("Ctrl++", "Alt+Left", "Esc"), or
// "text:..." for typing.
void press(const QString &keys)
{
    QWidget *target = QApplication::focusWidget();
    QVERIFY2(target, qPrintable(keys));
    if (keys.startsWith(QLatin1String("text:"))) {
        QTest::keyClicks(target, keys.mid(5));
        return;
    }
    const int chord = QKeySequence::fromString(keys)[0];
    QVERIFY2(chord != 0, qPrintable(keys));
    QTest::keyClick(target, Qt::Key(chord & ~Qt::KeyboardModifierMask),
                    Qt::KeyboardModifiers(chord & Qt::KeyboardModifierMask));
}

// Strongly coloured pixels inside rect: highlighting, not black text on white.
int colouredPixels(const QImage &image, const QRect &rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c(image.pixel(x, y));
            const int spread = qMax(c.red(), qMax(c.green(), c.blue())) - qMin(c.red(), qMin(c.green(), c.blue()));
            count += spread > 60;
        }
    }
    return count;
}

} // namespace

class KeysTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void keys_data();
    void keys();
    void zoomHoldsAcrossShowUrlAndShowsItsLevel();
    void find_data();
    void find();
    void findHighlightsEveryMatchAndCloses();
    void accessibleNames_data();
    void accessibleNames();
    void keyboardReachesAndPressesTheTitleBar_data();
    void keyboardReachesAndPressesTheTitleBar();

private:
    void openWindow();
    Impl *content() const { return _window->impl(); }
    ZuvoChatWebKitView *view() const { return qobject_cast<ZuvoChatWebKitView *>(content()->webView()); }
    QVariant script(const QString &code) const { return view()->page()->mainFrame()->evaluateJavaScript(code); }
    QRect spanRect(const QString &id) const;
    // Host commands the browser sent before a marker command that the test
    // sends last, so a missing command is known to be missing.
    QStringList commandsSoFar();

    HostLink _host;
    HttpFixture _http;
    ZuvoChatWebBroswer *_window = nullptr;
    QString _answers;
};

void KeysTest::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(testsupport::connectBrowserTo(_host, QStringLiteral("keys")));
    _http.setPage("/a", pageA);
    _http.setPage("/b", pageB);
    QVERIFY(_http.listenOn());
}

void KeysTest::init()
{
    ZuvoChatWBConfigure::init();
    ZuvoChatWBConfigure::SetTitleBG(QBrush(barColour));
    _host.clearReceived();
    _answers.clear();
    openWindow();
}

void KeysTest::cleanup()
{
    ZuvoChatWebBroswer::destory();
    _window = nullptr;
}

void KeysTest::openWindow()
{
    _window = ZuvoChatWebBroswer::newZuvoChatWebBroswer(_http.url(QStringLiteral("/a")).toString(), nullptr);
    QVERIFY(_window);
    _window->resize(800, 600);
    _window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(_window));
    QTRY_COMPARE_WITH_TIMEOUT(view()->title(), QStringLiteral("A"), 15000);
    // The page has the keys from the start, though the title bar takes Tab.
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(view()));
}

QRect KeysTest::spanRect(const QString &id) const
{
    const QVariantMap r =
        script(QStringLiteral("(function(){var r=document.getElementById('%1').getBoundingClientRect();"
                              "return {x:r.left,y:r.top,w:r.width,h:r.height};})()")
                   .arg(id))
            .toMap();
    return QRect(qRound(r.value("x").toDouble()), qRound(r.value("y").toDouble()), qRound(r.value("w").toDouble()),
                 qRound(r.value("h").toDouble()));
}

QStringList KeysTest::commandsSoFar()
{
    emit content()->openOutside();
    QStringList commands;
    const auto markerArrived = [&] {
        commands.clear();
        for (const HostLink::Message &message : _host.received()) {
            if (message.command == QLatin1String("openOutside"))
                return true;
            if (message.command != QLatin1String("savePosition"))
                commands << message.group + QLatin1Char(':') + message.command;
        }
        return false;
    };
    if (!QTest::qWaitFor(markerArrived, 5000))
        return {QStringLiteral("(no marker)")};
    return commands;
}

void KeysTest::keys_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("boxOpen");     // afterwards
    QTest::addColumn<QString>("answers"); // the actions of the test's confirmation box that ran
    QTest::addColumn<QString>("pageSaw");

    const QStringList none;
    const QStringList refresh{QStringLiteral("feedback:refresh")};
    // Key codes the page's own handler records.
    const QString nothing;
    const QString escape = QStringLiteral("27 ");

    const auto times = [](int n, const QString &chord) {
        QStringList chords;
        for (int i = 0; i < n; ++i)
            chords << chord;
        return chords;
    };
    const auto row = [](const char *name, const char *setup, const QStringList &keys) -> QTestData & {
        return QTest::newRow(name) << QString::fromLatin1(setup) << keys;
    };

    // setup, keys | host commands, zoom, title, box open, box actions, keys the page saw
    row("F5 is the refresh button", "page", {"F5"}) << refresh << 100 << "A" << false << "" << nothing;
    row("Ctrl+R in a page field", "field", {"Ctrl+R"}) << refresh << 100 << "A" << false << "" << nothing;
    row("Escape with nothing open is the page's", "field", {"Esc"}) << none << 100 << "A" << false << "" << escape;

    row("Ctrl+plus", "page", {"Ctrl++"}) << none << 110 << "A" << false << "" << nothing;
    row("Ctrl+= is plus without Shift", "page", {"Ctrl+="}) << none << 110 << "A" << false << "" << nothing;
    row("Ctrl+minus three times", "page", times(3, "Ctrl+-")) << none << 75 << "A" << false << "" << nothing;
    row("Ctrl+0 back to 100", "field", {"Ctrl++", "Ctrl++", "Ctrl+0"}) << none << 100 << "A" << false << ""
                                                                       << nothing;
    row("zoom in stops at 500", "page", times(20, "Ctrl++")) << none << 500 << "A" << false << "" << nothing;
    row("zoom out stops at 25", "page", times(20, "Ctrl+-")) << none << 25 << "A" << false << "" << nothing;

    row("Alt+Left with nothing behind", "page", {"Alt+Left"}) << none << 100 << "A" << false << "" << nothing;
    row("Alt+Left after following a link", "link followed", {"Alt+Left"}) << none << 100 << "A" << false << ""
                                                                          << nothing;

    row("Escape answers a message box", "message box", {"Esc"}) << none << 100 << "A" << false << "" << nothing;
    row("Escape cancels a deletion", "confirmation box", {"Esc"}) << none << 100 << "A" << false << "cancel"
                                                                  << nothing;
    row("F5 under a box still refreshes", "confirmation box", {"F5"}) << refresh << 100 << "A" << true << ""
                                                                      << nothing;
}

void KeysTest::keys()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, commands);
    QFETCH(int, zoom);
    QFETCH(QString, title);
    QFETCH(bool, boxOpen);
    QFETCH(QString, answers);
    QFETCH(QString, pageSaw);

    if (setup == QLatin1String("field")) {
        script(QStringLiteral("document.getElementById('field').focus()"));
        QCOMPARE(script(QStringLiteral("document.activeElement.id")).toString(), QStringLiteral("field"));
    } else if (setup == QLatin1String("link followed")) {
        script(QStringLiteral("document.getElementById('next').click()"));
        QTRY_COMPARE_WITH_TIMEOUT(view()->title(), QStringLiteral("B"), 15000);
    } else if (setup == QLatin1String("message box")) {
        _host.sendText(QStringLiteral("event"), QStringLiteral("showBoxMessage"), QStringLiteral("Saved"));
        QTRY_COMPARE(content()->findChildren<InformBox *>().size(), 1);
    } else if (setup == QLatin1String("confirmation box")) {
        // Built as the content widget builds its delete confirmation.
        content()->showBG();
        auto *box = new InformBox(
            content(), QStringLiteral("Delete the record?"), QStringLiteral("Delete"),
            [this](QWidget *b) {
                _answers += QStringLiteral("delete");
                b->hide();
                b->deleteLater();
                content()->hideBG();
            },
            QStringLiteral("Cancel"),
            [this](QWidget *b) {
                _answers += QStringLiteral("cancel");
                b->hide();
                b->deleteLater();
                content()->hideBG();
            });
        box->show();
    }
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(view()));
    script(QStringLiteral("window.keysSeen = ''"));

    for (const QString &chord : keys)
        press(chord);

    QCOMPARE(commandsSoFar(), commands);
    QCOMPARE(view()->zoomPercent(), zoom);
    QCOMPARE(qRound(view()->zoomFactor() * 100), zoom);
    QTRY_COMPARE_WITH_TIMEOUT(view()->title(), title, 15000);
    QCOMPARE(script(QStringLiteral("window.keysSeen")).toString(), pageSaw);

    QTRY_COMPARE(content()->findChildren<InformBox *>().isEmpty(), !boxOpen);
    // The message box's only answer takes the dimming layer away with it.
    QCOMPARE(content()->findChild<QWidget *>(QStringLiteral("backgroundBlock"))->isHidden(), !boxOpen);
    QCOMPARE(_answers, answers);
}

void KeysTest::zoomHoldsAcrossShowUrlAndShowsItsLevel()
{
    const auto wheel = [this](int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at(200, 200);
        QWheelEvent event(at, view()->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view(), &event);
    };
    // A notch, then two half notches from a touchpad.
    wheel(120, Qt::ControlModifier);
    wheel(60, Qt::ControlModifier);
    QCOMPARE(view()->zoomPercent(), 110);
    wheel(60, Qt::ControlModifier);
    QCOMPARE(view()->zoomPercent(), 125);
    wheel(-120, Qt::NoModifier);
    QCOMPARE(view()->zoomPercent(), 125);

    ZoomLabel *label = content()->zoomLabel();
    QVERIFY(label);
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), QStringLiteral("125%"));
    QVERIFY(qAbs(label->geometry().center().x() - view()->geometry().center().x()) <= 1);
    QVERIFY(qAbs(label->geometry().center().y() - view()->geometry().center().y()) <= 1);
    const QImage shot = content()->grab().toImage();
    QCOMPARE(QColor(shot.pixel(label->x() + 6, label->y() + label->height() / 2)), barColour);

    // The host shows another address: same window, same zoom.
    _host.sendText(QStringLiteral("event"), QStringLiteral("showUrl"), _http.url(QStringLiteral("/b")).toString());
    QTRY_COMPARE_WITH_TIMEOUT(view()->title(), QStringLiteral("B"), 15000);
    QCOMPARE(view()->zoomPercent(), 125);
    QCOMPARE(view()->zoomFactor(), 1.25);
    QCOMPARE(view()->page()->mainFrame()->zoomFactor(), 1.25);

    QTRY_VERIFY_WITH_TIMEOUT(label->isHidden(), ZoomLabel::shownMs * 4);
}

void KeysTest::find_data()
{
    QTest::addColumn<int>("repeats"); // of "x" on a page of its own; 0: the known page
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("selected");

    QTest::newRow("any case, inside words") << 0 << QStringList{"text:apple"} << "1 of 4" << "apple";
    QTest::newRow("Enter goes to the next") << 0 << QStringList{"text:apple", "Return"} << "2 of 4" << "Apple";
    QTest::newRow("Enter wraps after the last") << 0 << QStringList{"text:apple", "Return", "Return", "Return", "Return"}
                                                << "1 of 4" << "apple";
    QTest::newRow("Shift+Enter wraps before the first") << 0 << QStringList{"text:apple", "Shift+Return"} << "4 of 4"
                                                        << "APPLE";
    QTest::newRow("next, next, previous") << 0 << QStringList{"text:apple", "Return", "Return", "Shift+Return"} << "2 of 4"
                                          << "Apple";
    QTest::newRow("a longer text counts again") << 0 << QStringList{"text:apple", "Return", "text: pie"} << "1 of 1"
                                                << "apple pie";
    QTest::newRow("no match") << 0 << QStringList{"text:kiwi", "Return"} << "0 of 0" << "";
    QTest::newRow("Ctrl+F again selects the text to replace")
        << 0 << QStringList{"text:apple", "Ctrl+F", "text:banana"} << "1 of 1" << "banana";
    // Counting stops one past its limit; past it the place is not shown.
    QTest::newRow("exactly the limit") << FindBar::maxCounted << QStringList{"text:x", "Shift+Return"}
                                       << "1000 of 1000" << "x";
    QTest::newRow("past the limit") << FindBar::maxCounted + 1 << QStringList{"text:x"} << "1000+ matches" << "x";
}

void KeysTest::find()
{
    QFETCH(int, repeats);
    QFETCH(QStringList, keys);
    QFETCH(QString, count);
    QFETCH(QString, selected);

    if (repeats > 0) {
        view()->setHtml(QStringLiteral("<p>x</p>").repeated(repeats));
        view()->setFocus();
    }
    press(QStringLiteral("Ctrl+F"));
    FindBar *bar = content()->findBar();
    QVERIFY(bar);
    QVERIFY(bar->isVisible());
    for (const QString &chord : keys)
        press(chord);
    // The count comes once typing pauses.
    QTRY_COMPARE(bar->countText(), count);
    QCOMPARE(view()->page()->selectedText(), selected);
    QVERIFY(bar->isVisible());
}

void KeysTest::findHighlightsEveryMatchAndCloses()
{
    const QStringList matches{"m1", "m2", "m3", "m4"};
    const auto highlighted = [&](const QStringList &ids) {
        const QImage shot = view()->grab().toImage();
        QStringList marked;
        for (const QString &id : ids) {
            if (colouredPixels(shot, spanRect(id)) > spanRect(id).width())
                marked << id;
        }
        return marked;
    };
    QCOMPARE(highlighted(matches + QStringList{"c1"}), QStringList());

    press(QStringLiteral("Ctrl+F"));
    press(QStringLiteral("text:apple"));
    FindBar *bar = content()->findBar();
    QTRY_COMPARE(bar->countText(), QStringLiteral("1 of 4"));
    QCOMPARE(highlighted(matches + QStringList{"c1"}), matches);

    // Laid over the top of the page, in the title bar's colour.
    QCOMPARE(bar->geometry(), QRect(view()->x(), view()->y(), view()->width(), FindBar::barHeight()));
    const QImage shot = content()->grab().toImage();
    const QPoint emptySpot = bar->geometry().topLeft() + QPoint(bar->width() / 2 + 100, 3);
    QCOMPARE(QColor(shot.pixel(emptySpot)), barColour);
    QCOMPARE(QColor(shot.pixel(emptySpot.x(), bar->geometry().bottom())), ZuvoChatWBConfigure::ShadowColor());

    if (!qEnvironmentVariableIsEmpty("ZUVO_KEYS_SHOTS")) {
        press(QStringLiteral("Return"));
        press(QStringLiteral("Ctrl++"));
        const QString dir = qEnvironmentVariable("ZUVO_KEYS_SHOTS");
        content()->grab().save(dir + QStringLiteral("/findbar-zoomlabel.png"));
        press(QStringLiteral("Ctrl+0"));
        press(QStringLiteral("Shift+Return"));
    }

    // Escape closes the bar, takes the marks off and gives the page the keys.
    press(QStringLiteral("Esc"));
    QVERIFY(bar->isHidden());
    QCOMPARE(highlighted(matches), QStringList());
    QCOMPARE(view()->page()->selectedText(), QString());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(view()));

    // Opened again it searches again for what it had.
    press(QStringLiteral("Ctrl+F"));
    QTRY_COMPARE(bar->countText(), QStringLiteral("1 of 4"));
    QCOMPARE(highlighted(matches), matches);

    // A box over the page takes Escape first.
    content()->showInfo(QStringLiteral("Saved"));
    press(QStringLiteral("Esc"));
    QTRY_VERIFY(content()->findChildren<InformBox *>().isEmpty());
    QVERIFY(bar->isVisible());

    // Its close button.
    auto *close = bar->findChild<QWidget *>(QStringLiteral("findClose"));
    QTest::mouseClick(close, Qt::LeftButton, Qt::NoModifier, close->rect().center());
    QVERIFY(bar->isHidden());
    QCOMPARE(highlighted(matches), QStringList());

    // The download panel takes the page's place: the bar goes, and Ctrl+F
    // finds nothing to search until the page is back.
    press(QStringLiteral("Ctrl+F"));
    QVERIFY(bar->isVisible());
    view()->hide();
    QVERIFY(bar->isHidden());
    press(QStringLiteral("Ctrl+F"));
    QVERIFY(bar->isHidden());
    content()->onWebFileBack();
    view()->setFocus();

    // Another address.
    press(QStringLiteral("Ctrl+F"));
    QVERIFY(bar->isVisible());
    _host.sendText(QStringLiteral("event"), QStringLiteral("showUrl"), _http.url(QStringLiteral("/b")).toString());
    QTRY_VERIFY_WITH_TIMEOUT(bar->isHidden(), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(view()->title(), QStringLiteral("B"), 15000);
}

void KeysTest::accessibleNames_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("name");
    QTest::newRow("refresh") << "refresh" << ZuvoChatWBConfigure::TitleRefreshText();
    QTest::newRow("download history") << "webFile" << ZuvoChatWBConfigure::TitleWebFileText();
    QTest::newRow("logo") << "logo" << "Logo";
    QTest::newRow("close") << "close" << "Close";
    QTest::newRow("find field") << "findField" << "Find in page";
    QTest::newRow("find next") << "findNext" << "Next match";
    QTest::newRow("find previous") << "findPrevious" << "Previous match";
    QTest::newRow("find close") << "findClose" << "Close find bar";
}

void KeysTest::accessibleNames()
{
    QFETCH(QString, object);
    QFETCH(QString, name);
    press(QStringLiteral("Ctrl+F"));
    auto *widget = content()->findChild<QWidget *>(object);
    QVERIFY(widget);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), name);
}

void KeysTest::keyboardReachesAndPressesTheTitleBar_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("focused"); // the object name of the focus widget afterwards
    QTest::addColumn<QStringList>("commands");

    const QStringList none;
    // The visible title bar, left to right: (logo,) refresh, store, share,
    // download history; the logo does nothing and is passed by.
    QTest::newRow("F6 to the title bar") << QStringList{"F6"} << "refresh" << none;
    QTest::newRow("F6 back to the page") << QStringList{"F6", "F6"} << "webview" << none;
    QTest::newRow("Shift+F6 too") << QStringList{"F6", "Shift+F6"} << "webview" << none;
    QTest::newRow("right arrow") << QStringList{"F6", "Right"} << "storeToZuvo" << none;
    QTest::newRow("left arrow wraps to the last") << QStringList{"F6", "Left"} << "webFile" << none;
    QTest::newRow("Tab") << QStringList{"F6", "Tab", "Tab"} << "shareToFriend" << none;
    QTest::newRow("Tab after the last button is the page") << QStringList{"F6", "Left", "Tab"} << "webview" << none;
    QTest::newRow("Space presses") << QStringList{"F6", "Space"} << "refresh" << QStringList{"feedback:refresh"};
    QTest::newRow("Enter presses") << QStringList{"F6", "Right", "Right", "Return"} << "shareToFriend"
                                   << QStringList{"feedback:share"};
    QTest::newRow("F6 from the history to its back button")
        << QStringList{"F6", "Left", "Return", "F6", "F6"} << "webFileBack" << QStringList{"webfile:getFileList"};
    QTest::newRow("a host's message leaves the keys with the page") << QStringList{"message"} << "webview" << none;
    QTest::newRow("F6 goes to a box while one is open") << QStringList{"message", "F6"} << "confirmButton" << none;
    QTest::newRow("Enter answers it, and the page has the keys again")
        << QStringList{"message", "F6", "Return"} << "webview" << none;
}

void KeysTest::keyboardReachesAndPressesTheTitleBar()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, focused);
    QFETCH(QStringList, commands);

    for (const QString &key : keys) {
        if (key == QLatin1String("message")) {
            _host.sendText(QStringLiteral("event"), QStringLiteral("showBoxMessage"), QStringLiteral("Saved"));
            QTRY_COMPARE(content()->findChildren<InformBox *>().size(), 1);
            continue;
        }
        press(key);
    }
    QTRY_VERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
    QCOMPARE(commandsSoFar(), commands);
}

QTEST_MAIN(KeysTest)
#include "tst_keys.moc"
