// The messages between the browser and its WebKitGTK helper, as bytes: the
// codec both sides share, and the real helper program driven through its
// stdin and stdout alone, drawing on the browser's own compositor, with pages
// from a real HTTP server on loopback. Also what an input method's edit
// becomes in the compositor's text-input protocol, which counts in bytes.
#include "helpermessages.h"
#include "httpfixture.h"
#include "pagecompositor.h"
#include "pagetextinput.h"

#include <QProcess>
#include <QtTest>

#include <functional>
#include <signal.h>

using testsupport::HttpFixture;
namespace msg = helpermessages;
using Fields = std::vector<std::string>;
Q_DECLARE_METATYPE(Fields)

namespace {

const int helperTimeoutMs = 20000;
const std::string marker = "\x01marker:";

std::string bytesOf(const msg::Message &message)
{
    return msg::encode(message);
}

// The helper's side of the conversation, read as it arrives.
class HelperRun
{
public:
    explicit HelperRun(const PageCompositor &compositor)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), compositor.socketName());
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(ZUVO_WEBKITGTK_HELPER_BUILD_PATH),
                      {QStringLiteral(ZUVO_WEBKITGTK_EXTENSION_BUILD_DIR)});
    }
    ~HelperRun()
    {
        if (!end())
            process.kill();
        process.waitForFinished();
    }

    // The helper talks to the compositor on this thread: waiting runs its events.
    bool end()
    {
        process.closeWriteChannel();
        QSignalSpy finished(&process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished));
        return process.state() == QProcess::NotRunning || finished.wait(10000);
    }

    void write(const msg::Message &message)
    {
        const std::string bytes = bytesOf(message);
        process.write(bytes.data(), qint64(bytes.size()));
    }

    // Waits for the first message of that name not returned yet, or returns
    // an empty one.
    msg::Message waitFor(const std::string &name)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < helperTimeoutMs) {
            for (size_t index = 0; index < received.size(); ++index) {
                if (!taken[index] && received[index].name == name) {
                    taken[index] = true;
                    return received[index];
                }
            }
            if (process.state() == QProcess::NotRunning)
                break;
            QSignalSpy readable(&process, &QProcess::readyReadStandardOutput);
            readable.wait(200);
            const QByteArray bytes = process.readAllStandardOutput();
            raw += bytes;
            for (msg::Message &message : framer.append(bytes.constData(), size_t(bytes.size()))) {
                received.push_back(std::move(message));
                taken.push_back(false);
            }
        }
        return {};
    }

    QProcess process;
    msg::Framer framer;
    std::vector<msg::Message> received;
    std::vector<bool> taken;
    QByteArray raw;
};

// An edit as one line: its preedit with the cursor's bytes, its commit, the
// bytes deleted before and after the cursor.
QString describe(const TextInputEdit &edit)
{
    return QStringLiteral("preedit '%1' %2..%3 commit '%4' delete %5,%6")
        .arg(QString::fromUtf8(edit.preedit))
        .arg(edit.preeditCursorBegin)
        .arg(edit.preeditCursorEnd)
        .arg(QString::fromUtf8(edit.commit))
        .arg(edit.deleteBefore)
        .arg(edit.deleteAfter);
}

} // namespace

class tst_WebKitGtkHelper : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void messagesSurviveAnyCut_data();
    void messagesSurviveAnyCut();
    void loadIsReported();
    void bridgeCallWaitsForTheBrowsersAnswer_data();
    void bridgeCallWaitsForTheBrowsersAnswer();
    void closedChannelEndsHelperAndItsProcesses();
    void inputMethodEditCountsBytes_data();
    void inputMethodEditCountsBytes();

private:
    HttpFixture _server;
};

void tst_WebKitGtkHelper::initTestCase()
{
    qRegisterMetaType<QProcess::ExitStatus>();
    QVERIFY(_server.listenOn());
    _server.setPage("/titled", "<html><head><title>hello there</title></head><body>hi</body></html>");
    _server.setPage("/bridge", R"(<html><head><script>
setTimeout(function () {
    var answer = prompt('\x01marker:getCurrentUserInfo', 'arg;with:separators');
    document.title = 'answer:' + answer;
}, 50);
</script></head><body></body></html>)");
}

void tst_WebKitGtkHelper::messagesSurviveAnyCut_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QByteArray>("wire");

    QTest::newRow("no fields") << QByteArray("back") << Fields{} << QByteArray("back;");
    QTest::newRow("one empty field") << QByteArray("token") << Fields{""} << QByteArray("token:;");
    QTest::newRow("separators inside fields") << QByteArray("title") << Fields{"a:b;c"} << QByteArray("title:YTpiO2M=;");
    QTest::newRow("padding of one and two") << QByteArray("find") << Fields{"ab", "abcd"}
                                            << QByteArray("find:YWI=:YWJjZA==;");
    QTest::newRow("bytes that are not text") << QByteArray("resource") << Fields{std::string("\0\xff\n", 3)}
                                             << QByteArray("resource:AP8K;");
}

void tst_WebKitGtkHelper::messagesSurviveAnyCut()
{
    QFETCH(QByteArray, name);
    QFETCH(Fields, fields);
    QFETCH(QByteArray, wire);
    const msg::Message message{name.toStdString(), fields};
    QCOMPARE(QByteArray::fromStdString(msg::encode(message)), wire);

    // Two copies, cut at every byte: each arrives whole, once, in order.
    const QByteArray stream = wire + wire;
    for (int cut = 0; cut <= stream.size(); ++cut) {
        msg::Framer framer;
        std::vector<msg::Message> out = framer.append(stream.constData(), size_t(cut));
        for (msg::Message &later : framer.append(stream.constData() + cut, size_t(stream.size() - cut)))
            out.push_back(std::move(later));
        QCOMPARE(out.size(), size_t(2));
        QVERIFY2(out[0] == message && out[1] == message, qPrintable(QString::number(cut)));
        QCOMPARE(framer.pendingSize(), size_t(0));
    }
}

void tst_WebKitGtkHelper::loadIsReported()
{
    PageCompositor compositor;
    HelperRun helper(compositor);
    QVERIFY(!helper.waitFor(msg::toBrowser::ready).name.empty());
    const std::string address = _server.url(QStringLiteral("/titled")).toString().toStdString();
    helper.write({msg::toHelper::load, {address}});

    QCOMPARE(helper.waitFor(msg::toBrowser::loadStarted).name, std::string(msg::toBrowser::loadStarted));
    QCOMPARE(helper.waitFor(msg::toBrowser::title).field(0), std::string("hello there"));
    const msg::Message finished = helper.waitFor(msg::toBrowser::loadFinished);
    QCOMPARE(QByteArray::fromStdString(bytesOf(finished)),
             QByteArray::fromStdString(bytesOf({msg::toBrowser::loadFinished, {"1", address, address}})));
    QVERIFY(helper.raw.contains(QByteArray::fromStdString(bytesOf(finished))));
}

void tst_WebKitGtkHelper::bridgeCallWaitsForTheBrowsersAnswer_data()
{
    QTest::addColumn<QByteArray>("answered");
    QTest::addColumn<QString>("title");
    QTest::newRow("answered") << QByteArray("1") << QStringLiteral("answer:ada;x:y");
    QTest::newRow("refused: the page's prompt is cancelled") << QByteArray() << QStringLiteral("answer:null");
}

void tst_WebKitGtkHelper::bridgeCallWaitsForTheBrowsersAnswer()
{
    QFETCH(QByteArray, answered);
    QFETCH(QString, title);
    PageCompositor compositor;
    HelperRun helper(compositor);
    helper.write({msg::toHelper::start, {"tester", "", marker, ""}});
    const std::string address = _server.url(QStringLiteral("/bridge")).toString().toStdString();
    helper.write({msg::toHelper::load, {address}});

    const msg::Message call = helper.waitFor(msg::toBrowser::bridgeCall);
    QCOMPARE(call.fields.size(), size_t(5));
    QCOMPARE(call.field(1), address);
    QCOMPARE(call.field(2), address);
    QCOMPARE(call.field(3), std::string("getCurrentUserInfo"));
    QCOMPARE(call.field(4), std::string("arg;with:separators"));

    helper.write({msg::toHelper::bridgeAnswer, {call.field(0), answered.toStdString(), "ada;x:y"}});
    msg::Message titled;
    do {
        titled = helper.waitFor(msg::toBrowser::title);
    } while (!titled.name.empty() && titled.field(0).rfind("answer:", 0) != 0);
    QCOMPARE(QString::fromStdString(titled.field(0)), title);
}

void tst_WebKitGtkHelper::closedChannelEndsHelperAndItsProcesses()
{
    PageCompositor compositor;
    HelperRun helper(compositor);
    helper.write({msg::toHelper::load, {_server.url(QStringLiteral("/titled")).toString().toStdString()}});
    QVERIFY(!helper.waitFor(msg::toBrowser::loadFinished).name.empty());
    QProcess ps;
    ps.start(QStringLiteral("ps"), {QStringLiteral("-o"), QStringLiteral("pid="), QStringLiteral("--ppid"),
                                    QString::number(helper.process.processId())});
    QVERIFY(ps.waitForFinished());
    const QList<QByteArray> children = ps.readAllStandardOutput().simplified().split(' ');
    // At least WebKit's network and web processes.
    QVERIFY2(children.size() >= 2, ps.readAllStandardOutput().constData());

    QVERIFY(helper.end());
    for (const QByteArray &child : children)
        QTRY_VERIFY2_WITH_TIMEOUT(::kill(pid_t(child.toLongLong()), 0) != 0, child.constData(), 10000);
}

void tst_WebKitGtkHelper::inputMethodEditCountsBytes_data()
{
    QTest::addColumn<QString>("field");      // '|' marks the cursor
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<int>("preeditCursor");  // -1: hidden
    QTest::addColumn<QString>("commit");
    QTest::addColumn<int>("replaceFrom");    // from the cursor, in characters
    QTest::addColumn<int>("replaceLength");
    QTest::addColumn<QString>("edit");

    QTest::newRow("preedit, cursor at its end")
        << "|" << QString::fromUtf8("にほ") << 2 << "" << 0 << 0 << QString::fromUtf8("preedit 'にほ' 6..6 commit '' delete 0,0");
    QTest::newRow("preedit, cursor after a two-byte letter")
        << "|" << QString::fromUtf8("éa") << 1 << "" << 0 << 0 << QString::fromUtf8("preedit 'éa' 2..2 commit '' delete 0,0");
    QTest::newRow("preedit, cursor hidden")
        << "|" << "ab" << -1 << "" << 0 << 0 << "preedit 'ab' -1..-1 commit '' delete 0,0";
    QTest::newRow("commit ends the preedit")
        << "|" << "" << 0 << QString::fromUtf8("日本語") << 0 << 0
        << QString::fromUtf8("preedit '' -1..-1 commit '日本語' delete 0,0");
    QTest::newRow("a three-byte letter before the cursor deleted")
        << QString::fromUtf8("a日|b") << "" << 0 << "" << -1 << 1 << "preedit '' -1..-1 commit '' delete 3,0";
    QTest::newRow("replaced across the cursor, a surrogate pair after it")
        << QString::fromUtf8("aé|😀b") << "" << 0 << "x" << -1 << 3 << "preedit '' -1..-1 commit 'x' delete 2,4";
    QTest::newRow("beyond the text the helper sent: a byte each")
        << QString::fromUtf8("é|") << "" << 0 << "" << -3 << 3 << "preedit '' -1..-1 commit '' delete 4,0";
}

void tst_WebKitGtkHelper::inputMethodEditCountsBytes()
{
    QFETCH(QString, field);
    QFETCH(QString, preedit);
    QFETCH(int, preeditCursor);
    QFETCH(QString, commit);
    QFETCH(int, replaceFrom);
    QFETCH(int, replaceLength);
    QFETCH(QString, edit);

    TextInputField described;
    const int cursor = field.indexOf(QLatin1Char('|'));
    described.surroundingText = field.left(cursor).toUtf8() + field.mid(cursor + 1).toUtf8();
    described.cursor = described.anchor = field.left(cursor).toUtf8().size();
    QList<QInputMethodEvent::Attribute> attributes;
    if (!preedit.isEmpty())
        attributes.append({QInputMethodEvent::Cursor, qMax(0, preeditCursor), preeditCursor < 0 ? 0 : 1, QVariant()});
    QInputMethodEvent event(preedit, attributes);
    event.setCommitString(commit, replaceFrom, replaceLength);
    QCOMPARE(describe(textInputEdit(event, described)), edit);
}

QTEST_MAIN(tst_WebKitGtkHelper)
#include "tst_webkitgtkhelper.moc"
