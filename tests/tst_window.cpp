// The browser window on the offscreen platform: the title bar's layout and
// painting, the message box, the page message, the single-window rule, the
// position report, every button's command reaching a host on a real socket,
// page downloads, and dragging and resizing by the title bar and the edges.
#include "button.h"
#include "hostlink.h"
#include "testsupport.h"
#include "transport/transport.h"
#include "webcontent.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"
#include "zuvochatwebbroswer_private.h"
#include "zuvochatwebkitview.h"
#include "zuvojsbridge.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QWebFrame>
#include <QWindow>
#include <QtTest>

using Impl = ZuvoChatWebBroswer_impl;
Q_DECLARE_METATYPE(ZuvoChatWebBroswer_impl::DragType)

namespace {

const QString kPage = QStringLiteral("data:text/html,<title>page</title><p>hello</p>");

template <typename T = QWidget>
T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

QColor pixel(const QImage &image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

void sendMouse(QWidget *widget, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void titleBarDefaults();
    void hiddenButtonsCloseTheGap();
    void backButtonOpensTheRow();
    void channelAndOpenOutsideShareAPlace();
    void narrowWindowLetsButtonsRunOver();
    void paintsTitleBarBodyAndRim();
    void messageBoxDimsAndCentres();
    void secondMessageReplacesFirst();
    void messageShownAsPlainText_data();
    void messageShownAsPlainText();
    void burstOfMessagesBuildsOneBox();
    void seenMessageIsReplacedByANewBox();
    void pageMessage_data();
    void pageMessage();
    void pageScriptReachesHostAsGotoChannel();
    void pageBudgetIsPerDocumentAndSparesTheWindow();

    void secondShowUrlReusesWindow();
    void maximisedWindowStaysMaximised();
    void positionTextAndSingleReport();
    void buttonsReachHost_data();
    void buttonsReachHost();
    void downloadAsksForFileAndTellsHost();
    void storeFollowsResize();
    void cornerRadiusMasksTheWindow();
    void repliesReachTheContentOnlyWithPayload();

    void hitTest_data();
    void hitTest();
    void leftEdgeDragKeepsRightEdge();
    void titleBarDragMovesWindow();
    void bothButtonsDoNothing();

private:
    ZuvoChatWebBroswer *openWindow(const QString &url = kPage);
    Impl *content() { return _window->impl(); }
    QWebFrame *pageFrame();
    void waitForBridge();
    void click(QWidget *button);

    HostLink _host;
    ZuvoChatWebBroswer *_window = nullptr;
};

void WindowTest::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(testsupport::connectBrowserTo(_host, QStringLiteral("window")));
}

void WindowTest::init()
{
    ZuvoChatWBConfigure::init();
    _host.clearReceived();
}

void WindowTest::cleanup()
{
    ZuvoChatWebBroswer::destory();
    _window = nullptr;
}

ZuvoChatWebBroswer *WindowTest::openWindow(const QString &url)
{
    _window = ZuvoChatWebBroswer::newZuvoChatWebBroswer(url, nullptr);
    if (_window && !QTest::qWaitForWindowExposed(_window))
        qWarning("the window was not exposed");
    return _window;
}

QWebFrame *WindowTest::pageFrame()
{
    return qobject_cast<ZuvoChatWebKitView *>(content()->webView())->page()->mainFrame();
}

void WindowTest::waitForBridge()
{
    QTRY_COMPARE(pageFrame()->evaluateJavaScript(QStringLiteral("typeof window.zuvowebkitbridge")).toString(),
                 QStringLiteral("object"));
}

void WindowTest::click(QWidget *button)
{
    const QPoint centre = button->rect().center();
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, centre);
}

void WindowTest::titleBarDefaults()
{
    openWindow();
    Impl *impl = content();
    auto *logo = child(impl, "logo");
    auto *refresh = child(impl, "refresh");
    auto *store = child(impl, "storeToZuvo");
    auto *share = child(impl, "shareToFriend");
    auto *webFile = child(impl, "webFile");
    auto *close = child(impl, "close");
    auto *maxsize = child(impl, "maxsize");
    auto *minisize = child(impl, "minisize");

    // Defaults: left inset 5, gap 5, bar 40 high; each item centred in the bar.
    QCOMPARE(logo->pos(), QPoint(5, (40 - logo->height()) / 2));
    QCOMPARE(refresh->x(), logo->geometry().right() + 1 + 5);
    QCOMPARE(store->x(), refresh->geometry().right() + 1 + 5);
    QCOMPARE(share->x(), store->geometry().right() + 1 + 5);
    QCOMPARE(webFile->x(), share->geometry().right() + 1 + 5);
    QCOMPARE(refresh->y(), (40 - refresh->height()) / 2);
    QVERIFY(webFile->isVisible());
    QCOMPARE(child(impl, "checkChannel")->isVisible(), false);
    QCOMPARE(child(impl, "openOutside")->isVisible(), false);

    // The window buttons are laid out from the right even though hidden.
    QCOMPARE(close->x(), impl->width() - 5 - close->width());
    QCOMPARE(maxsize->x(), close->x() - maxsize->width() - 5);
    QCOMPARE(minisize->x(), maxsize->x() - minisize->width() - 5);
    QCOMPARE(close->isVisible(), false);

    // The page sits one pixel in from the sides and the bottom.
    QCOMPARE(impl->webView()->geometry(), QRect(1, 40, impl->width() - 2, impl->height() - 41));
}

void WindowTest::hiddenButtonsCloseTheGap()
{
    ZuvoChatWBConfigure::SetTitleShareToFriendShow(false);
    ZuvoChatWBConfigure::SetTitleStoreToZuvoShow(false);
    openWindow();
    Impl *impl = content();
    auto *refresh = child(impl, "refresh");
    auto *share = child(impl, "shareToFriend");
    auto *webFile = child(impl, "webFile");
    QCOMPARE(webFile->x(), refresh->geometry().right() + 1 + 5);
    const int before = webFile->x();

    _host.sendText(QStringLiteral("event"), QStringLiteral("updateShareToFriend"), QStringLiteral("true"));
    QTRY_VERIFY(share->isVisible());
    QCOMPARE(webFile->x(), before + share->width() + 5);
    QCOMPARE(share->x(), before);
}

void WindowTest::backButtonOpensTheRow()
{
    openWindow();
    Impl *impl = content();
    auto *logo = child(impl, "logo");
    auto *back = child(impl, "webFileBack");
    auto *refresh = child(impl, "refresh");
    const int refreshBefore = refresh->x();

    // The download panel shows the back button in place of the page view;
    // laying out again makes room for it after the logo.
    impl->webView()->hide();
    back->show();
    QResizeEvent relayout(impl->size(), impl->size());
    QApplication::sendEvent(impl, &relayout);
    QCOMPARE(back->x(), logo->geometry().right() + 1 + 5);
    QCOMPARE(refresh->x(), refreshBefore + back->width() + 5);

    impl->onWebFileBack();
    QCOMPARE(back->isHidden(), true);
    QCOMPARE(impl->webView()->isHidden(), false);
    QCOMPARE(refresh->x(), refreshBefore);
}

void WindowTest::channelAndOpenOutsideShareAPlace()
{
    ZuvoChatWBConfigure::SetTitleCheckChannelShow(true);
    ZuvoChatWBConfigure::SetTitleOpenOutsideShow(true);
    openWindow();
    Impl *impl = content();
    auto *channel = child(impl, "checkChannel");
    auto *outside = child(impl, "openOutside");
    auto *webFile = child(impl, "webFile");
    QVERIFY(channel->isVisible());
    QVERIFY(outside->isVisible());
    QCOMPARE(channel->x(), webFile->geometry().right() + 1 + 5);
    QCOMPARE(outside->x(), channel->x());

    _host.sendText(QStringLiteral("event"), QStringLiteral("updateOpenOutside"), QStringLiteral("false"));
    QTRY_VERIFY(!outside->isVisible());
    QCOMPARE(channel->x(), webFile->geometry().right() + 1 + 5);
}

void WindowTest::narrowWindowLetsButtonsRunOver()
{
    ZuvoChatWBConfigure::SetMiniWidth(100);
    openWindow();
    _window->resize(150, 300);
    Impl *impl = content();
    auto *webFile = child(impl, "webFile");
    QTRY_COMPARE(impl->width(), 148);
    QVERIFY(webFile->isVisible());
    QVERIFY(webFile->geometry().right() > impl->width());
    QCOMPARE(webFile->width(), QFontMetrics(ZuvoChatWBConfigure::font()).horizontalAdvance(
                                   ZuvoChatWBConfigure::TitleWebFileText()) + 10);
}

void WindowTest::paintsTitleBarBodyAndRim()
{
    ZuvoChatWBConfigure::SetTitleBG(QBrush(QColor(10, 120, 200)));
    ZuvoChatWBConfigure::SetShadowColor(QColor(200, 30, 40));
    openWindow();
    _window->resize(600, 500);
    QTRY_COMPARE(content()->size(), QSize(598, 498));
    content()->webView()->hide();
    const QImage image = _window->grab().toImage();

    QCOMPARE(pixel(image, 0, 0), QColor(200, 30, 40));
    QCOMPARE(pixel(image, 599, 250), QColor(200, 30, 40));
    QCOMPARE(pixel(image, 300, 499), QColor(200, 30, 40));
    // Title bar brush across the top at an empty spot, white below it.
    QCOMPARE(pixel(image, 590, 5), QColor(10, 120, 200));
    QCOMPARE(pixel(image, 590, 40), QColor(10, 120, 200));
    QCOMPARE(pixel(image, 590, 42), QColor(Qt::white));
    QCOMPARE(pixel(image, 300, 400), QColor(Qt::white));
}

void WindowTest::messageBoxDimsAndCentres()
{
    openWindow();
    _window->resize(600, 500);
    Impl *impl = content();
    QTRY_COMPARE(impl->size(), QSize(598, 498));
    impl->webView()->hide();
    ZuvoChatWebBroswer::showInfo(QStringLiteral("Saved to your downloads"));

    const QList<InformBox *> boxes = impl->findChildren<InformBox *>();
    QCOMPARE(boxes.size(), 1);
    InformBox *box = boxes.first();
    QCOMPARE(box->pos(), QPoint((598 - 300) / 2, (498 - 100) / 2));
    QVERIFY(child(impl, "backgroundBlock")->isVisible());

    const QImage image = impl->grab().toImage();
    // Black at alpha 40 over white, and the box itself white above the layer.
    const QColor dimmed = pixel(image, 20, 300);
    QVERIFY2(qAbs(dimmed.red() - 215) <= 2, qPrintable(dimmed.name()));
    QCOMPARE(pixel(image, box->x() + 5, box->y() + 5), QColor(Qt::white));

    click(child(box, "confirmButton"));
    QTRY_VERIFY(impl->findChildren<InformBox *>().isEmpty());
    QVERIFY(!child(impl, "backgroundBlock")->isVisible());
}

void WindowTest::secondMessageReplacesFirst()
{
    openWindow();
    Impl *impl = content();
    impl->showInfo(QStringLiteral("first"));
    impl->showInfo(QStringLiteral("second"));
    QTRY_COMPARE(impl->findChildren<InformBox *>().size(), 1);
    QCOMPARE(impl->findChild<InformBox *>()->findChild<QLabel *>()->text(), QStringLiteral("second"));
}

void WindowTest::messageShownAsPlainText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("markup") << QStringLiteral("<b>bold</b> & <i>plain</i>");
    QTest::newRow("local image") << QStringLiteral("<img src='file:///etc/hostname'>");
    // Taken as markup, this kept the event loop in table layout for seconds.
    QTest::newRow("45 KB of nested tables")
        << QStringLiteral("<table><tr><td>").repeated(1500) + QStringLiteral("x");
}

void WindowTest::messageShownAsPlainText()
{
    QFETCH(QString, text);
    openWindow();
    Impl *impl = content();
    impl->showInfo(text);
    const QLabel *label = impl->findChild<InformBox *>()->findChild<QLabel *>(QStringLiteral("information"));
    QCOMPARE(label->text(), text);
    // Laid out as the characters themselves: as wide as the raw text.
    QVERIFY2(qAbs(label->width() - label->fontMetrics().horizontalAdvance(text)) <= 1,
             qPrintable(QString::number(label->width())));
}

void WindowTest::burstOfMessagesBuildsOneBox()
{
    openWindow();
    Impl *impl = content();
    QByteArray burst;
    for (int i = 0; i < 10000; ++i)
        burst += testsupport::wire(QStringLiteral("event"), QStringLiteral("showBoxMessage"),
                                   QStringLiteral("message %1").arg(i));
    transport::shareInstance()->receiveBytes(burst.left(burst.indexOf(';') + 1));
    const QPointer<InformBox> first = impl->findChild<InformBox *>();
    QVERIFY(first);

    transport::shareInstance()->receiveBytes(burst.mid(burst.indexOf(';') + 1));
    // Boxes nobody saw were never built: the first one took every later text.
    QCOMPARE(impl->findChildren<InformBox *>(), QList<InformBox *>{first.data()});
    const QLabel *label = first->findChild<QLabel *>(QStringLiteral("information"));
    QCOMPARE(label->text(), QStringLiteral("message 9999"));
    QTRY_VERIFY(qAbs(label->width() - label->fontMetrics().horizontalAdvance(QStringLiteral("message 9999"))) <= 1);
}

void WindowTest::seenMessageIsReplacedByANewBox()
{
    openWindow();
    Impl *impl = content();
    impl->showInfo(QStringLiteral("first"));
    QPointer<InformBox> first = impl->findChild<InformBox *>();
    impl->grab();
    impl->showInfo(QStringLiteral("second"));
    QTRY_VERIFY(!first);
    QCOMPARE(impl->findChildren<InformBox *>().size(), 1);
    QCOMPARE(impl->findChild<InformBox *>()->findChild<QLabel *>()->text(), QStringLiteral("second"));
}

void WindowTest::pageMessage_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("channel");
    QTest::newRow("go to channel") << R"({"action":"go_to_channel_info","data":"c-17"})" << "c-17";
    QTest::newRow("empty data") << R"({"action":"go_to_channel_info","data":""})" << "";
    QTest::newRow("data not a string") << R"({"action":"go_to_channel_info","data":17})" << "";
    QTest::newRow("other action") << R"({"action":"open","data":"c-17"})" << "";
    QTest::newRow("action case differs") << R"({"action":"Go_To_Channel_Info","data":"c-17"})" << "";
    QTest::newRow("not JSON") << "go_to_channel_info c-17" << "";
    QTest::newRow("JSON array") << R"(["go_to_channel_info","c-17"])" << "";
}

void WindowTest::pageMessage()
{
    QFETCH(QString, message);
    QFETCH(QString, channel);
    openWindow();
    QSignalSpy spy(content(), &Impl::goToChannel);
    content()->onGetWebMessage(message);
    QCOMPARE(spy.count(), channel.isEmpty() ? 0 : 1);
    if (!channel.isEmpty())
        QCOMPARE(spy.first().first().toString(), channel);
}

void WindowTest::pageScriptReachesHostAsGotoChannel()
{
    openWindow(QStringLiteral("qrc:/start/index.html"));
    waitForBridge();
    pageFrame()->evaluateJavaScript(QStringLiteral(
        "window.zuvowebkitbridge.postMessage(JSON.stringify({action:'go_to_channel_info', data:'général'}))"));
    QTRY_COMPARE(_host.receivedCommands(QStringLiteral("gotoChannel")).size(), 1);
    QCOMPARE(_host.receivedCommands(QStringLiteral("gotoChannel")).first().text(), QStringLiteral("général"));
}

// A page past its second's budget loses its logs, the user's click still
// queues behind them, and the next document may log again at once.
void WindowTest::pageBudgetIsPerDocumentAndSparesTheWindow()
{
    const QString startPage = QStringLiteral("qrc:/start/index.html");
    openWindow(startPage);
    waitForBridge();
    pageFrame()->evaluateJavaScript(
        QStringLiteral("for (var i = 0; i < 300; ++i) window.zuvowebkitbridge.postLog('line ' + i);"));
    click(child(content(), "refresh"));
    QTRY_COMPARE(_host.receivedCommands(QStringLiteral("refresh")).size(), 1);
    // Messages arrive in order: every log sent came before the click.
    QCOMPARE(_host.receivedCommands(QStringLiteral("receiveLog")).size(), PageMessageBudget::maxMessagesPerSecond);

    QSignalSpy loaded(content()->webContent(), &WebContent::loadFinished);
    _host.sendText(QStringLiteral("event"), QStringLiteral("showUrl"), startPage);
    QVERIFY(loaded.wait());
    waitForBridge();
    pageFrame()->evaluateJavaScript(QStringLiteral("window.zuvowebkitbridge.postLog('next document')"));
    QTRY_COMPARE(_host.receivedCommands(QStringLiteral("receiveLog")).last().text(), QStringLiteral("next document"));
}

void WindowTest::secondShowUrlReusesWindow()
{
    openWindow();
    _window->move(40, 60);
    _window->resize(700, 640);
    QTRY_COMPARE(_window->size(), QSize(700, 640));
    const QPoint position = _window->pos();

    QSignalSpy loaded(content()->webContent(), &WebContent::loadFinished);
    _host.sendText(QStringLiteral("event"), QStringLiteral("showUrl"),
                   QStringLiteral("data:text/html,<title>second</title>"));
    QTRY_COMPARE(content()->webContent()->title(), QStringLiteral("second"));
    QCOMPARE(ZuvoChatWebBroswer::newZuvoChatWebBroswer(kPage, nullptr), _window);
    int windows = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        windows += qobject_cast<ZuvoChatWebBroswer *>(widget) != nullptr;
    QCOMPARE(windows, 1);
    QCOMPARE(_window->size(), QSize(700, 640));
    QCOMPARE(_window->pos(), position);
}

void WindowTest::maximisedWindowStaysMaximised()
{
    ZuvoChatWBConfigure::SetMaxsized(true);
    openWindow();
    QTRY_VERIFY(_window->windowState() & Qt::WindowMaximized);
    ZuvoChatWebBroswer::newZuvoChatWebBroswer(QStringLiteral("data:text/html,again"), nullptr);
    QTRY_VERIFY(_window->windowState() & Qt::WindowMaximized);

    _window->onMiniSize();
    ZuvoChatWebBroswer::newZuvoChatWebBroswer(QStringLiteral("data:text/html,third"), nullptr);
    QVERIFY(!(_window->windowState() & Qt::WindowMinimized));
}

void WindowTest::positionTextAndSingleReport()
{
    QCOMPARE(ZuvoChatWebBroswer::positionText(QRect(10, 20, 540, 870), false), QStringLiteral("10,20,540,870,0"));
    QCOMPARE(ZuvoChatWebBroswer::positionText(QRect(-5, 0, 1, 2), true), QStringLiteral("-5,0,1,2,1"));

    openWindow();
    // The report is of the frame; size the window so that the frame is 540 x 870.
    _window->move(10, 20);
    const QMargins frame = _window->windowHandle()->frameMargins();
    _window->resize(540 - frame.left() - frame.right(), 870 - frame.top() - frame.bottom());
    QTRY_COMPARE(_window->frameGeometry(), QRect(10, 20, 540, 870));
    _window->onSavePos();
    _window->onSavePos();
    QTRY_COMPARE(_host.receivedCommands(QStringLiteral("savePosition")).size(), 1);
    QCOMPARE(_host.receivedCommands(QStringLiteral("savePosition")).first().text(), QStringLiteral("10,20,540,870,0"));

    // The timer finds nothing new to say while the window stands still.
    QTest::qWait(1300);
    QCOMPARE(_host.receivedCommands(QStringLiteral("savePosition")).size(), 1);
    _window->move(30, 20);
    QTRY_COMPARE_WITH_TIMEOUT(_host.receivedCommands(QStringLiteral("savePosition")).size(), 2, 3000);
    QCOMPARE(_host.receivedCommands(QStringLiteral("savePosition")).last().text(), QStringLiteral("30,20,540,870,0"));
}

void WindowTest::buttonsReachHost_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("command");
    QTest::newRow("refresh") << "refresh" << "refresh";
    QTest::newRow("store") << "storeToZuvo" << "storeToZuvo";
    QTest::newRow("share") << "shareToFriend" << "share";
    QTest::newRow("channel") << "checkChannel" << "channel";
    QTest::newRow("open outside") << "openOutside" << "openOutside";
}

void WindowTest::buttonsReachHost()
{
    QFETCH(QString, button);
    QFETCH(QString, command);
    ZuvoChatWBConfigure::SetTitleCheckChannelShow(true);
    ZuvoChatWBConfigure::SetTitleOpenOutsideShow(true);
    openWindow();
    click(child(content(), button.toLatin1().constData()));
    QTRY_COMPARE(_host.receivedCommands(command).size(), 1);
    QCOMPARE(_host.receivedCommands(command).first().group, QStringLiteral("feedback"));
    QCOMPARE(_host.receivedCommands(command).first().payload, QByteArray());
}

void WindowTest::downloadAsksForFileAndTellsHost()
{
    openWindow();
    const QString chosen = QDir::tempPath() + QStringLiteral("/zuvo-report.pdf");
    QString suggested;
    QSet<QFileDialog *> dialogs;
    // The save dialog runs its own event loop; answer it from a timer, by
    // typing the name as a user would.
    QTimer answer;
    answer.setInterval(50);
    connect(&answer, &QTimer::timeout, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QFileDialog *>(widget);
            if (!dialog || !dialog->isVisible() || dialogs.contains(dialog))
                continue;
            dialogs.insert(dialog);
            suggested = dialog->selectedFiles().value(0);
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(chosen);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    });
    answer.start();

    const QUrl request(QStringLiteral("http://files.example/dir/re%20port.pdf?x=1"));
    emit content()->downloadRequested(request);
    // A page that fires the same download again at once opens no second dialog.
    emit content()->downloadRequested(request);
    QTRY_COMPARE(_host.receivedCommands(QStringLiteral("startDownload")).size(), 1);
    QCOMPARE(dialogs.size(), 1);
    QVERIFY2(suggested.endsWith(QStringLiteral("re port.pdf")), qPrintable(suggested));

    const QJsonObject sent =
        QJsonDocument::fromJson(_host.receivedCommands(QStringLiteral("startDownload")).first().payload).object();
    // The address goes out in the toolkit's default (readable) form.
    QCOMPARE(sent.value(QStringLiteral("url")).toString(), QStringLiteral("http://files.example/dir/re port.pdf?x=1"));
    QCOMPARE(sent.value(QStringLiteral("name")).toString(), chosen);
    const QString key = sent.value(QStringLiteral("key")).toString();
    QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(key).hasMatch());
    QCOMPARE(_window->pendingDownloadRequest(), key);

    // A reply for another request changes nothing; the matching one shows its text once.
    const auto reply = [](const QString &k, const QString &info) {
        return QJsonDocument(QJsonObject{{"key", k}, {"info", info}}).toJson(QJsonDocument::Compact);
    };
    _host.send(QStringLiteral("webfile"), QStringLiteral("startDownloadRes"), reply(QStringLiteral("other"), "no"));
    _host.send(QStringLiteral("webfile"), QStringLiteral("startDownloadRes"), reply(key, "Download started"));
    _host.send(QStringLiteral("webfile"), QStringLiteral("startDownloadRes"), reply(key, "again"));
    QTRY_COMPARE(content()->findChildren<InformBox *>().size(), 1);
    QTest::qWait(100);
    QCOMPARE(content()->findChildren<InformBox *>().size(), 1);
    QCOMPARE(content()->findChild<InformBox *>()->findChild<QLabel *>()->text(), QStringLiteral("Download started"));
    QCOMPARE(_window->pendingDownloadRequest(), QString());
    answer.stop();
}

void WindowTest::storeFollowsResize()
{
    openWindow();
    _window->setGeometry(50, 70, 610, 720);
    QTRY_COMPARE(ZuvoChatWBConfigure::Geometry(), QRect(50, 70, 610, 720));
    QCOMPARE(content()->size(), QSize(608, 718));
    QCOMPARE(content()->pos(), QPoint(1, 1));
}

void WindowTest::cornerRadiusMasksTheWindow()
{
    openWindow();
    _window->resize(600, 500);
    QTRY_COMPARE(_window->size(), QSize(600, 500));
    QVERIFY(_window->mask().isEmpty());

    content()->setRoundRadius(12);
    _window->resize(610, 500);
    QTRY_VERIFY(!_window->mask().isEmpty());
    const QRegion mask = _window->mask();
    QVERIFY(!mask.contains(QPoint(0, 0)));
    QVERIFY(!mask.contains(QPoint(609, 499)));
    QVERIFY(mask.contains(QPoint(12, 0)));
    QVERIFY(mask.contains(QPoint(305, 250)));
    QVERIFY(mask.contains(QPoint(0, 250)));
}

void WindowTest::repliesReachTheContentOnlyWithPayload()
{
    openWindow();
    QSignalSpy list(content(), &Impl::requestFileListResponse);
    QSignalSpy offsets(content(), &Impl::requestFileDownloadOffsetResponse);
    _host.sendRaw("webfile:getFileListRes:;webfile:getDownloadOffsetRes:;");
    _host.send(QStringLiteral("webfile"), QStringLiteral("getFileListRes"), R"({"key":"k","data":[]})");
    QTRY_COMPARE(list.count(), 1);
    QCOMPARE(list.first().first().toByteArray(), QByteArray(R"({"key":"k","data":[]})"));
    QCOMPARE(offsets.count(), 0);
}

void WindowTest::hitTest_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<Impl::DragType>("type");
    QTest::newRow("(0,0)") << QPoint(0, 0) << Impl::DragTopLeft;
    QTest::newRow("(11,11)") << QPoint(11, 11) << Impl::DragTopLeft;
    QTest::newRow("(12,5)") << QPoint(12, 5) << Impl::DragTop;
    QTest::newRow("(12,6)") << QPoint(12, 6) << Impl::DragClient;
    QTest::newRow("(789,0)") << QPoint(789, 0) << Impl::DragTopRight;
    QTest::newRow("(788,0)") << QPoint(788, 0) << Impl::DragTop;
    QTest::newRow("(795,300)") << QPoint(795, 300) << Impl::DragRight;
    QTest::newRow("(794,300)") << QPoint(794, 300) << Impl::DragClient;
    QTest::newRow("(5,300)") << QPoint(5, 300) << Impl::DragLeft;
    QTest::newRow("(6,300)") << QPoint(6, 300) << Impl::DragClient;
    QTest::newRow("(11,589)") << QPoint(11, 589) << Impl::DragBottomLeft;
    QTest::newRow("(11,588)") << QPoint(11, 588) << Impl::DragClient;
    QTest::newRow("(5,588)") << QPoint(5, 588) << Impl::DragLeft;
    QTest::newRow("(789,589)") << QPoint(789, 589) << Impl::DragBottomRight;
    QTest::newRow("(400,595)") << QPoint(400, 595) << Impl::DragBottom;
    QTest::newRow("(400,594)") << QPoint(400, 594) << Impl::DragClient;
}

void WindowTest::hitTest()
{
    QFETCH(QPoint, point);
    QFETCH(Impl::DragType, type);
    Impl impl(nullptr, false);
    impl.resize(800, 600);
    QCOMPARE(impl.hitTest(point.x(), point.y()), type);
}

void WindowTest::leftEdgeDragKeepsRightEdge()
{
    openWindow();
    _window->setGeometry(100, 100, 800, 600);
    QTRY_COMPARE(_window->geometry(), QRect(100, 100, 800, 600));
    Impl *impl = content();
    const QPoint local(2, 300);
    const QPoint global = impl->mapToGlobal(local);
    sendMouse(impl, QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(impl->cursor().shape(), Qt::SizeHorCursor);
    sendMouse(impl, QEvent::MouseMove, local + QPoint(30, 0), global + QPoint(30, 0), Qt::NoButton, Qt::LeftButton);
    sendMouse(impl, QEvent::MouseButtonRelease, local, global + QPoint(30, 0), Qt::LeftButton, Qt::NoButton);
    // Thirty pixels narrower; the other three edges stay to the pixel.
    QTRY_COMPARE(_window->geometry(), QRect(130, 100, 770, 600));
    QCOMPARE(impl->cursor().shape(), Qt::ArrowCursor);
}

void WindowTest::titleBarDragMovesWindow()
{
    openWindow();
    _window->setGeometry(100, 100, 800, 600);
    QTRY_COMPARE(_window->geometry(), QRect(100, 100, 800, 600));
    const QPoint start = _window->pos();
    Impl *impl = content();
    const QPoint local(impl->width() - 200, 20);
    QCOMPARE(impl->childAt(local), nullptr);
    const QPoint global = impl->mapToGlobal(local);
    sendMouse(impl, QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton);
    sendMouse(impl, QEvent::MouseMove, local, global + QPoint(25, -40), Qt::NoButton, Qt::LeftButton);
    sendMouse(impl, QEvent::MouseMove, local, global + QPoint(-15, 35), Qt::NoButton, Qt::LeftButton);
    sendMouse(impl, QEvent::MouseButtonRelease, local, global + QPoint(-15, 35), Qt::LeftButton, Qt::NoButton);
    QTRY_COMPARE(_window->pos(), start + QPoint(-15, 35));
    QCOMPARE(_window->size(), QSize(800, 600));
}

void WindowTest::bothButtonsDoNothing()
{
    openWindow();
    _window->setGeometry(100, 100, 800, 600);
    QTRY_COMPARE(_window->geometry(), QRect(100, 100, 800, 600));
    Impl *impl = content();
    const QPoint local(impl->width() - 200, 20);
    const QPoint global = impl->mapToGlobal(local);
    sendMouse(impl, QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton);
    sendMouse(impl, QEvent::MouseMove, local, global + QPoint(50, 50), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    QCOMPARE(_window->geometry(), QRect(100, 100, 800, 600));

    // A right press alone starts nothing; its release still ends the drag.
    sendMouse(impl, QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton);
    sendMouse(impl, QEvent::MouseButtonPress, QPoint(2, 300), impl->mapToGlobal(QPoint(2, 300)), Qt::RightButton,
              Qt::RightButton);
    sendMouse(impl, QEvent::MouseMove, QPoint(40, 300), impl->mapToGlobal(QPoint(40, 300)), Qt::NoButton,
              Qt::RightButton);
    QCOMPARE(_window->geometry(), QRect(100, 100, 800, 600));
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
