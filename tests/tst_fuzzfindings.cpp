// Every input that ever crashed or stalled the browser's receive path, fed
// again through the fuzz target's own harness to a real window: each must
// leave the browser following the next valid command. The inputs live in
// fuzz/regressions, one file each, named after what they did.
#include "hostlinkharness.h"
#include "testsupport.h"
#include "downloadfile/downloadfiletree.h"
#include "zuvochatwbconfigure.h"

#include <QApplication>
#include <QDir>
#include <QtTest>

class FuzzFindingsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void replay_data();
    void replay();
    void repliesReachTheOpenPanel();
};

void FuzzFindingsTest::initTestCase()
{
    hostlinkharness::setUp(nullptr, nullptr);
}

void FuzzFindingsTest::replay_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(ZUVO_FUZZ_REGRESSIONS));
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    QVERIFY(!names.isEmpty());
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

void FuzzFindingsTest::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    hostlinkharness::feed(file.readAll());

    const QString title = QStringLiteral("after ") + QFileInfo(path).fileName();
    hostlinkharness::feed(testsupport::wire(QStringLiteral("config"), QStringLiteral("title"), title) +
                          testsupport::wire(QStringLiteral("event"), QStringLiteral("showBoxMessage"), title));
    QCOMPARE(ZuvoChatWBConfigure::Title(), title);
    QCOMPARE(hostlinkharness::shownMessage(), title);
}

void FuzzFindingsTest::repliesReachTheOpenPanel()
{
    // The fuzz target answers the panel's own request under its real key, so
    // that what it mutates reaches the panel's handlers rather than a key check.
    const auto *panel = QApplication::topLevelWidgets().value(0)->findChild<DownloadFileTree *>();
    QVERIFY(panel);
    QVERIFY(!panel->record(QStringLiteral("f1")));
    QTRY_VERIFY_WITH_TIMEOUT(
        (hostlinkharness::feed("@webfile:getFileListRes:{\"key\":\"$LIST$\",\"data\":[{\"key\":\"f1\","
                               "\"name\":\"a.pdf\",\"status\":1}]}\n"),
         panel->record(QStringLiteral("f1"))),
        5000);
    QVERIFY(panel->isPolling());
}

QTEST_MAIN(FuzzFindingsTest)
#include "tst_fuzzfindings.moc"
