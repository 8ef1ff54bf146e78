// The host link seen from the host's side of a real local socket: how the
// byte stream is cut into commands, the exact bytes of every command the
// browser sends, and what a page may send at all.
#include "testsupport.h"
#include "transport/messageframer.h"
#include "transport/pagemessagebudget.h"
#include "transport/transport.h"
#include "zuvochatwbconfigure.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(std::function<void(transport *)>)
Q_DECLARE_METATYPE(PageMessageBudget::Verdict)

class TransportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void streamCutAtEveryByte();
    void severalMessagesInOneRead();
    void messageInThreeReadsSplitInsidePayload();
    void nulCutsPendingText();
    void whiteSpaceBetweenMessages();
    void dataWithoutSeparatorStaysBuffered();
    void framerTable_data();
    void framerTable();

    void wireText_data();
    void wireText();

    void pageBudget_data();
    void pageBudget();

private:
    // Writes bytes from the host's side and returns once the browser's side has read them.
    void hostWrites(const QByteArray &bytes);
    QByteArray browserSends(const std::function<void(transport *)> &send);

    QLocalServer _server;
    QPointer<QLocalSocket> _host;
};

void TransportTest::initTestCase()
{
    ZuvoChatWBConfigure::init();
    const QString name = testsupport::uniqueServerName(QStringLiteral("transport"));
    QVERIFY(_server.listen(name));
    transport::shareInstance()->connectToZuvo(name);
    QVERIFY(_server.waitForNewConnection(5000));
    _host = _server.nextPendingConnection();
    QVERIFY(_host);
}

void TransportTest::init()
{
    ZuvoChatWBConfigure::SetTitle(QStringLiteral("unset"));
    ZuvoChatWBConfigure::SetTitleHeight(40);
}

void TransportTest::hostWrites(const QByteArray &bytes)
{
    const qint64 expected = transport::shareInstance()->receivedByteCount() + bytes.size();
    _host->write(bytes);
    QVERIFY(_host->waitForBytesWritten(5000));
    QTRY_COMPARE(transport::shareInstance()->receivedByteCount(), expected);
}

void TransportTest::streamCutAtEveryByte()
{
    // Two commands whose effects are visible in the store, so that for every
    // cut we can tell which of them has been handled.
    const QByteArray first = testsupport::wire(QStringLiteral("config"), QStringLiteral("title"), QStringLiteral("Hello"));
    const QByteArray second = testsupport::wire(QStringLiteral("config"), QStringLiteral("titleHeight"), QStringLiteral("41"));
    const QByteArray stream = first + second;

    for (int cut = 1; cut < stream.size(); ++cut) {
        init();
        hostWrites(stream.left(cut));
        const QString context = QStringLiteral("cut at %1").arg(cut);
        QCOMPARE(ZuvoChatWBConfigure::Title() == QLatin1String("Hello"), cut >= first.size());
        QVERIFY2(ZuvoChatWBConfigure::TitleHeight() == 40, qPrintable(context));

        hostWrites(stream.mid(cut));
        QVERIFY2(ZuvoChatWBConfigure::Title() == QLatin1String("Hello"), qPrintable(context));
        QVERIFY2(ZuvoChatWBConfigure::TitleHeight() == 41, qPrintable(context));
    }
}

void TransportTest::severalMessagesInOneRead()
{
    // The later title wins only if the messages run in the order they came.
    hostWrites(testsupport::wire(QStringLiteral("config"), QStringLiteral("title"), QStringLiteral("one")) +
               testsupport::wire(QStringLiteral("config"), QStringLiteral("titleHeight"), QStringLiteral("41")) +
               testsupport::wire(QStringLiteral("config"), QStringLiteral("title"), QStringLiteral("two")));
    QCOMPARE(ZuvoChatWBConfigure::Title(), QStringLiteral("two"));
    QCOMPARE(ZuvoChatWBConfigure::TitleHeight(), 41);
}

void TransportTest::messageInThreeReadsSplitInsidePayload()
{
    const QByteArray message =
        testsupport::wire(QStringLiteral("config"), QStringLiteral("title"), QStringLiteral("A title long enough"));
    const int payloadStart = message.indexOf(':', 7) + 1;
    hostWrites(message.left(payloadStart + 3));
    hostWrites(message.mid(payloadStart + 3, 5));
    QCOMPARE(ZuvoChatWBConfigure::Title(), QStringLiteral("unset"));
    hostWrites(message.mid(payloadStart + 8));
    QCOMPARE(ZuvoChatWBConfigure::Title(), QStringLiteral("A title long enough"));
}

void TransportTest::nulCutsPendingText()
{
    // What follows the NUL in the same read is discarded, including its ";",
    // so the text before the NUL waits for the next separator.
    QByteArray bytes = testsupport::wire(QStringLiteral("config"), QStringLiteral("title"), QStringLiteral("Hello"));
    bytes.chop(1);
    bytes += QByteArray("\0", 1) + "XYZW;" +
             testsupport::wire(QStringLiteral("config"), QStringLiteral("titleHeight"), QStringLiteral("41"));
    hostWrites(bytes);
    QCOMPARE(ZuvoChatWBConfigure::Title(), QStringLiteral("unset"));
    QCOMPARE(ZuvoChatWBConfigure::TitleHeight(), 40);

    hostWrites(";");
    QCOMPARE(ZuvoChatWBConfigure::Title(), QStringLiteral("Hello"));
    QCOMPARE(ZuvoChatWBConfigure::TitleHeight(), 40);
}

void TransportTest::whiteSpaceBetweenMessages()
{
    hostWrites("  \r\n\t" + testsupport::wire(QStringLiteral("config"), QStringLiteral("title"), QStringLiteral("spaced")) +
               "\n\n  " + testsupport::wire(QStringLiteral("config"), QStringLiteral("titleHeight"), QStringLiteral("41")) +
               " \r\n");
    QCOMPARE(ZuvoChatWBConfigure::Title(), QStringLiteral("spaced"));
    QCOMPARE(ZuvoChatWBConfigure::TitleHeight(), 41);
}

void TransportTest::dataWithoutSeparatorStaysBuffered()
{
    QByteArray message = testsupport::wire(QStringLiteral("config"), QStringLiteral("title"), QString(300, QLatin1Char('t')));
    message.chop(1);
    for (int offset = 0; offset < message.size(); offset += 37) {
        hostWrites(message.mid(offset, 37));
        QCOMPARE(ZuvoChatWBConfigure::Title(), QStringLiteral("unset"));
    }
    hostWrites(";");
    QCOMPARE(ZuvoChatWBConfigure::Title(), QString(300, QLatin1Char('t')));
}

void TransportTest::framerTable_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("pending");

    QTest::newRow("one message") << QList<QByteArray>{"a:b:c;"} << QStringList{"a:b:c"} << 0;
    QTest::newRow("tail waits") << QList<QByteArray>{"a:b:c;d:e"} << QStringList{"a:b:c"} << 3;
    QTest::newRow("tail completes") << QList<QByteArray>{"a:b:c;d:e", ":f;"} << QStringList{"a:b:c", "d:e:f"} << 0;
    QTest::newRow("empty pieces dropped") << QList<QByteArray>{";;a;;"} << QStringList{"a"} << 0;
    QTest::newRow("nul drops rest of read") << QList<QByteArray>{QByteArray("a;b\0c;d", 7)} << QStringList{"a"} << 1;
    QTest::newRow("nul then later read") << QList<QByteArray>{QByteArray("a\0;", 3), "b;"} << QStringList{"ab"} << 0;
    QTest::newRow("separator in old tail not rescanned")
        << QList<QByteArray>{"abc", "def", "g;h"} << QStringList{"abcdefg"} << 1;
    QTest::newRow("empty read") << QList<QByteArray>{"ab", ""} << QStringList{} << 2;
}

void TransportTest::framerTable()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QStringList, messages);
    QFETCH(int, pending);

    MessageFramer framer;
    QStringList seen;
    for (const QByteArray &read : reads)
        seen += framer.append(read);
    QCOMPARE(seen, messages);
    QCOMPARE(framer.pendingSize(), pending);
}

void TransportTest::wireText_data()
{
    using Send = std::function<void(transport *)>;
    QTest::addColumn<Send>("send");
    QTest::addColumn<QByteArray>("expected");

    auto b64 = [](const QByteArray &text) { return text.toBase64(); };

    QTest::newRow("refresh") << Send([](transport *t) { t->refresh(); }) << QByteArray("feedback:refresh:;");
    QTest::newRow("store") << Send([](transport *t) { t->storeToZuvo(); }) << QByteArray("feedback:storeToZuvo:;");
    QTest::newRow("share") << Send([](transport *t) { t->shareArtile(); }) << QByteArray("feedback:share:;");
    QTest::newRow("channel") << Send([](transport *t) { t->showChannel(); }) << QByteArray("feedback:channel:;");
    QTest::newRow("open outside") << Send([](transport *t) { t->openOutside(); })
                                  << QByteArray("feedback:openOutside:;");
    QTest::newRow("go to channel") << Send([](transport *t) { t->goToChannel(QStringLiteral("c-42"), 40); })
                                   << "feedback:gotoChannel:" + b64("c-42") + ";";
    QTest::newRow("log, UTF-8") << Send([](transport *t) { t->onReceiveLog(QStringLiteral("grüße ✓")); })
                                << "feedback:receiveLog:" + b64(QStringLiteral("grüße ✓").toUtf8()) + ";";
    // Only the second message reaches the host: the first is dropped unsent.
    const QString overLong(PageMessageBudget::maxMessageBytes + 1, QLatin1Char('x'));
    QTest::newRow("log over 64 KiB dropped") << Send([overLong](transport *t) {
        t->onReceiveLog(overLong);
        t->refresh();
    }) << QByteArray("feedback:refresh:;");
    QTest::newRow("page message over 64 KiB dropped") << Send([](transport *t) {
        t->goToChannel(QStringLiteral("c-42"), PageMessageBudget::maxMessageBytes + 1);
        t->refresh();
    }) << QByteArray("feedback:refresh:;");
    QTest::newRow("position") << Send([](transport *t) { t->savePosition(QStringLiteral("10,20,540,870,0")); })
                              << QByteArray("feedback:savePosition:MTAsMjAsNTQwLDg3MCww;");
    QTest::newRow("user info") << Send([](transport *t) { t->currentUserInfo(QStringLiteral("0123abcd")); })
                               << "iq:currentuserinfo:" + b64("0123abcd") + ";";
    QTest::newRow("file list") << Send([](transport *t) { t->getWebfileList(QStringLiteral("k1")); })
                               << "webfile:getFileList:" + b64("k1") + ";";
    QTest::newRow("open folder") << Send([](transport *t) { t->openFileFoler(QStringLiteral("f9")); })
                                 << "webfile:openFileFolder:" + b64("f9") + ";";
    QTest::newRow("download offset")
        << Send([](transport *t) {
               t->getWebfileDownloadOffset(QStringLiteral("k"), {QStringLiteral("f1"), QStringLiteral("f2")});
           })
        << "webfile:getDownloadOffset:" + b64(R"({"fileList":["f1","f2"],"key":"k"})") + ";";
    QTest::newRow("start download")
        << Send([](transport *t) {
               t->downloadFile(QStringLiteral("k"), QStringLiteral("http://h/a.pdf"), QStringLiteral("/tmp/a.pdf"));
           })
        << "webfile:startDownload:" + b64(R"({"key":"k","name":"/tmp/a.pdf","url":"http://h/a.pdf"})") + ";";
    QTest::newRow("restart download")
        << Send([](transport *t) { t->redownloadFile(QStringLiteral("k"), QStringLiteral("f1")); })
        << "webfile:restartDownload:" + b64(R"({"fileKey":"f1","key":"k"})") + ";";
    QTest::newRow("remove one")
        << Send([](transport *t) { t->removeDownloadFile(QStringLiteral("k"), QStringLiteral("f1")); })
        << "webfile:removeHistory:" + b64(R"({"fileKey":"f1","key":"k"})") + ";";
    QTest::newRow("remove all") << Send([](transport *t) { t->removeAllDownloadFile(QStringLiteral("k")); })
                                << "webfile:removeAllHistory:" + b64(R"({"key":"k"})") + ";";
}

QByteArray TransportTest::browserSends(const std::function<void(transport *)> &send)
{
    send(transport::shareInstance());
    QByteArray received;
    // The write goes out when the event loop runs; a message is complete at its ";".
    const bool complete = QTest::qWaitFor([&] {
        received += _host->readAll();
        return received.endsWith(';');
    }, 5000);
    if (!complete)
        qWarning() << "incomplete message from the browser:" << received;
    return received;
}

void TransportTest::wireText()
{
    using Send = std::function<void(transport *)>;
    QFETCH(Send, send);
    QFETCH(QByteArray, expected);
    QCOMPARE(browserSends(send), expected);
}

// Each row sends `earlier` messages of `earlierBytes` each at time 0 (all must
// pass), then one probe message; the verdict on the probe is the row's answer.
void TransportTest::pageBudget_data()
{
    QTest::addColumn<int>("earlier");
    QTest::addColumn<qint64>("earlierBytes");
    QTest::addColumn<bool>("newDocument");
    QTest::addColumn<qint64>("probeAtMs");
    QTest::addColumn<QString>("probeText");
    QTest::addColumn<qint64>("unsent");
    QTest::addColumn<PageMessageBudget::Verdict>("verdict");

    using V = PageMessageBudget::Verdict;
    const qint64 KiB = 1024;
    const qint64 MiB = 1024 * KiB;
    const QString full(64 * KiB, QLatin1Char('a'));
    // 21846 characters of three UTF-8 bytes each: 65538 bytes, under 64 K characters.
    const QString wideOver(21846, QChar(0x2713));
    // 16384 characters outside the basic plane, four bytes each: exactly 64 KiB.
    QString astralFull;
    for (int i = 0; i < 16384; ++i)
        astralFull += QString::fromUcs4(U"\U0001F600", 1);

    QTest::newRow("short log") << 0 << 0LL << false << 0LL << "hello" << 0LL << V::Send;
    QTest::newRow("64 KiB exactly") << 0 << 0LL << false << 0LL << full << 0LL << V::Send;
    QTest::newRow("one byte over 64 KiB") << 0 << 0LL << false << 0LL << full + "a" << 0LL << V::TooLong;
    QTest::newRow("over 64 KiB in UTF-8 only") << 0 << 0LL << false << 0LL << wideOver << 0LL << V::TooLong;
    QTest::newRow("surrogate pairs count four") << 0 << 0LL << false << 0LL << astralFull << 0LL << V::Send;
    QTest::newRow("256th message in a second") << 255 << 1LL << false << 999LL << "a" << 0LL << V::Send;
    QTest::newRow("257th message in a second") << 256 << 1LL << false << 999LL << "a" << 0LL << V::OverRate;
    QTest::newRow("257th message a second later") << 256 << 1LL << false << 1000LL << "a" << 0LL << V::Send;
    QTest::newRow("1 MiB in a second, exactly") << 15 << 64 * KiB << false << 10LL << full << 0LL << V::Send;
    QTest::newRow("one byte past 1 MiB a second") << 16 << 64 * KiB << false << 10LL << "a" << 0LL << V::OverRate;
    QTest::newRow("new document, new budget") << 256 << 1LL << true << 10LL << "a" << 0LL << V::Send;
    QTest::newRow("8 MiB unsent") << 0 << 0LL << false << 0LL << "a" << 8 * MiB << V::Send;
    QTest::newRow("more than 8 MiB unsent") << 0 << 0LL << false << 0LL << "a" << 8 * MiB + 1 << V::HostBehind;
}

void TransportTest::pageBudget()
{
    QFETCH(int, earlier);
    QFETCH(qint64, earlierBytes);
    QFETCH(bool, newDocument);
    QFETCH(qint64, probeAtMs);
    QFETCH(QString, probeText);
    QFETCH(qint64, unsent);
    QFETCH(PageMessageBudget::Verdict, verdict);

    PageMessageBudget budget;
    for (int i = 0; i < earlier; ++i)
        QCOMPARE(budget.admit(earlierBytes, 0, 0), PageMessageBudget::Verdict::Send);
    if (newDocument)
        budget.startNewDocument();
    QCOMPARE(budget.admit(PageMessageBudget::utf8Length(probeText), unsent, probeAtMs), verdict);
    // Only dropped messages are counted, each once, and counting starts over.
    QCOMPARE(budget.takeDrops().total(), verdict == PageMessageBudget::Verdict::Send ? 0 : 1);
    QCOMPARE(budget.takeDrops().total(), 0);
}

QTEST_MAIN(TransportTest)
#include "tst_transport.moc"
