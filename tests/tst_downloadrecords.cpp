// Download records: the texts and icon a record derives from the host's
// JSON, the gray rule, the foreign key and the elided name.
#include "downloadfile/downloadfiletext.h"
#include "downloadfile/modelitem.h"
#include "resource.h"
#include "zuvochatwbconfigure.h"

#include <QFontMetrics>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

Q_DECLARE_METATYPE(QPixmap *)

namespace {

void apply(ModelItemFile &file, const QByteArray &json)
{
    QJsonObject object = QJsonDocument::fromJson(json).object();
    object.insert(QStringLiteral("key"), file.key());
    file.fromJson(object);
}

} // namespace

class DownloadRecordsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void sizeText_data();
    void sizeText();
    void percent_data();
    void percent();
    void sizeChangeAloneKeepsPercent();
    void percentTextIsTheGeneralFormat();
    void icon_data();
    void icon();
    void grayRuleAndRestoration();
    void foreignKeyChangesNothing();
    void unexpectedTypes();
    void elision();
    void accessibleSentence();
};

void DownloadRecordsTest::initTestCase()
{
    ZuvoChatWBConfigure::init();
}

void DownloadRecordsTest::sizeText_data()
{
    QTest::addColumn<QByteArray>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << QByteArray("0") << "0.0 B";
    QTest::newRow("1023") << QByteArray("1023") << "1023.0 B";
    QTest::newRow("1024") << QByteArray("1024") << "1.0 KB";
    QTest::newRow("1536") << QByteArray("1536") << "1.5 KB";
    QTest::newRow("2^20-1 cut, not rounded") << QByteArray("1048575") << "1023.9 KB";
    QTest::newRow("2^20") << QByteArray("1048576") << "1.0 MB";
    QTest::newRow("2^30") << QByteArray("1073741824") << "1.0 GB";
    QTest::newRow("5 x 2^40 stays in GB") << QByteArray("5497558138880") << "5120.0 GB";
    // Ten times these wraps in 64 bits; the text must still be right.
    QTest::newRow("2^62 as digits") << QByteArray("\"4611686018427387904\"") << "4294967296.0 GB";
    QTest::newRow("2^64-1 as digits") << QByteArray("\"18446744073709551615\"") << "17179869183.9 GB";
    QTest::newRow("2^64 as a number clamps") << QByteArray("18446744073709551616") << "17179869183.9 GB";
    QTest::newRow("negative reads as 0") << QByteArray("-5") << "0.0 B";
}

void DownloadRecordsTest::sizeText()
{
    QFETCH(QByteArray, size);
    QFETCH(QString, text);
    ModelItemFile file(QStringLiteral("k"));
    apply(file, "{\"fileSize\": 7}"); // so that 0 is a change too
    apply(file, "{\"fileSize\": " + size + "}");
    QCOMPARE(file.fileSizeText(), text);
}

void DownloadRecordsTest::percent_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<float>("percent");
    QTest::addColumn<QString>("text");
    QTest::newRow("offset 0 is no change") << QByteArray(R"({"fileSize":1000,"downloadOffset":0})") << 0.0f << "";
    QTest::newRow("5 per mille") << QByteArray(R"({"fileSize":1000,"downloadOffset":5})") << 0.5f << "0.5 %";
    QTest::newRow("453 per mille") << QByteArray(R"({"fileSize":1000,"downloadOffset":453})") << 45.3f << "45.3 %";
    QTest::newRow("whole") << QByteArray(R"({"fileSize":1000,"downloadOffset":1000})") << 100.0f << "100 %";
    QTest::newRow("beyond the size") << QByteArray(R"({"fileSize":1000,"downloadOffset":5000})") << 100.0f
                                     << "100 %";
    QTest::newRow("size 0 never") << QByteArray(R"({"downloadOffset":500})") << 0.0f << "";
    QTest::newRow("half of 2^64-1")
        << QByteArray(R"({"fileSize":"18446744073709551615","downloadOffset":"9223372036854775808"})") << 50.0f
        << "50 %";
    QTest::newRow("all of 2^64-1")
        << QByteArray(R"({"fileSize":"18446744073709551615","downloadOffset":"18446744073709551615"})") << 100.0f
        << "100 %";
}

void DownloadRecordsTest::percent()
{
    QFETCH(QByteArray, json);
    QFETCH(float, percent);
    QFETCH(QString, text);
    ModelItemFile file(QStringLiteral("k"));
    apply(file, json);
    QCOMPARE(file.downloadPercent(), percent);
    QCOMPARE(file.downloadOffsetText(), text);
}

void DownloadRecordsTest::sizeChangeAloneKeepsPercent()
{
    ModelItemFile file(QStringLiteral("k"));
    apply(file, R"({"fileSize":1000,"downloadOffset":453})");
    apply(file, R"({"fileSize":2000})");
    QCOMPARE(file.downloadOffsetText(), QStringLiteral("45.3 %"));
    apply(file, R"({"downloadOffset":1000})");
    QCOMPARE(file.downloadOffsetText(), QStringLiteral("50 %"));
}

void DownloadRecordsTest::percentTextIsTheGeneralFormat()
{
    // Every per-mille step reads as its float in the general format.
    ModelItemFile file(QStringLiteral("k"));
    file.setFileSize(1000);
    for (quint64 perMille = 1; perMille <= 1000; ++perMille) {
        file.setDownloadOffset(perMille);
        const QString general = QString::number(double(float(perMille) * 0.1f), 'g', 6) + QStringLiteral(" %");
        QCOMPARE(file.downloadOffsetText(), general);
    }
}

void DownloadRecordsTest::icon_data()
{
    Resource *r = Resource::ShareInstance();
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPixmap *>("normal");
    QTest::addColumn<QPixmap *>("gray");
    QTest::newRow("pptx") << "talk.pptx" << r->pptIcon() << r->pptGrayIcon();
    QTest::newRow("doc") << "letter.doc" << r->docIcon() << r->docGrayIcon();
    QTest::newRow("xlsx") << "sheet.xlsx" << r->xlsIcon() << r->xlsGrayIcon();
    QTest::newRow("pdf") << "paper.pdf" << r->pdfIcon() << r->pdfGrayIcon();
    QTest::newRow("upper-case PDF") << "paper.PDF" << r->otherIcon() << r->otherGrayIcon();
    QTest::newRow("tar.gz") << "src.tar.gz" << r->rarIcon() << r->rarGrayIcon();
    QTest::newRow("7z") << "pack.7z" << r->rarIcon() << r->rarGrayIcon();
    QTest::newRow("wav") << "song.wav" << r->audioIcon() << r->audioGrayIcon();
    QTest::newRow("jpg") << "cat.jpg" << r->imgIcon() << r->imgGrayIcon();
    QTest::newRow("upper-case JPG") << "cat.JPG" << r->otherIcon() << r->otherGrayIcon();
    QTest::newRow("mp4") << "film.mp4" << r->videoIcon() << r->videoGrayIcon();
    QTest::newRow("log") << "run.log" << r->txtIcon() << r->txtGrayIcon();
    QTest::newRow("no ending") << "README" << r->otherIcon() << r->otherGrayIcon();
}

void DownloadRecordsTest::icon()
{
    QFETCH(QString, name);
    QFETCH(QPixmap *, normal);
    QFETCH(QPixmap *, gray);
    ModelItemFile file(QStringLiteral("k"));
    QCOMPARE(file.icon(), nullptr);
    file.setName(name);
    QCOMPARE(file.icon(), normal);
    apply(file, R"({"status":2,"fileExists":false})");
    QCOMPARE(file.icon(), gray);
}

void DownloadRecordsTest::grayRuleAndRestoration()
{
    Resource *r = Resource::ShareInstance();
    ModelItemFile file(QStringLiteral("k"));
    apply(file, R"({"name":"a.pdf","status":2,"fileExists":false})");
    QCOMPARE(file.icon(), r->pdfGrayIcon());
    apply(file, R"({"fileExists":true})");
    QCOMPARE(file.icon(), r->pdfIcon());

    // Reported missing while still downloading: the icon stays, and turning
    // ready later does not gray it unless "fileExists" changes again.
    ModelItemFile running(QStringLiteral("r"));
    apply(running, R"({"name":"a.pdf","status":1,"fileExists":false})");
    QCOMPARE(running.icon(), r->pdfIcon());
    apply(running, R"({"status":2,"fileExists":false})");
    QCOMPARE(running.icon(), r->pdfIcon());
}

void DownloadRecordsTest::foreignKeyChangesNothing()
{
    ModelItemFile file(QStringLiteral("mine"));
    QJsonObject foreign = QJsonDocument::fromJson(R"({"key":"other","name":"x.pdf","createTime":5,
        "updateTime":6,"fileSize":1000,"status":2,"downloadOffset":500,"fileExists":false})")
                              .object();
    file.fromJson(foreign);
    QCOMPARE(file.name(), QString());
    QCOMPARE(file.createTime(), 0ull);
    QCOMPARE(file.updateTime(), 0ull);
    QCOMPARE(file.fileSize(), 0ull);
    QCOMPARE(file.status(), ModelItemFile::ModelItemStatusAdded);
    QCOMPARE(file.downloadOffset(), 0ull);
    QCOMPARE(file.fileExists(), true);
    QCOMPARE(file.icon(), nullptr);
}

void DownloadRecordsTest::unexpectedTypes()
{
    ModelItemFile file(QStringLiteral("k"));
    apply(file, R"({"name":"a.pdf","createTime":"1234","status":1.5,"fileExists":"yes"})");
    QCOMPARE(file.createTime(), 1234ull);
    QCOMPARE(file.status(), ModelItemFile::ModelItemStatusAdded);
    QCOMPARE(file.fileExists(), false);
    apply(file, R"({"name":7})");
    QCOMPARE(file.name(), QString());
}

void DownloadRecordsTest::elision()
{
    QFont font = ZuvoChatWBConfigure::font();
    font.setPixelSize(14);
    const QFontMetrics metrics(font);
    ModelItemFile file(QStringLiteral("k"));

    file.setName(QStringLiteral("abcd"));
    QCOMPARE(file.nameText(1, metrics), QStringLiteral("abcd"));
    file.setName(QStringLiteral("abcdef"));
    QCOMPARE(file.nameText(1, metrics), QStringLiteral("...bcdef"));

    const QString name = QStringLiteral("a-rather-long-quarterly-report-of-the-team.pdf");
    file.setName(name);
    QCOMPARE(file.nameText(metrics.horizontalAdvance(name), metrics), name);
    const int width = 150;
    const QString elided = file.nameText(width, metrics);
    QVERIFY(elided.endsWith(QStringLiteral("...m.pdf")));
    QVERIFY(elided.startsWith(QStringLiteral("a-rather")));
    QVERIFY2(metrics.horizontalAdvance(elided) <= width, qPrintable(elided));
    // The longest head that fits: one more character would not.
    const int head = elided.size() - 8;
    const QString longer = name.left(head + 1) + QStringLiteral("...") + name.right(5);
    QVERIFY(metrics.horizontalAdvance(longer) >= width);

    // The cache answers only for the same width and the same metrics.
    QFont small = font;
    small.setPixelSize(8);
    const QFontMetrics smallMetrics(small);
    QVERIFY(file.nameText(width, smallMetrics).size() > elided.size());
    QVERIFY(file.nameText(width - 40, metrics).size() < elided.size());
    QCOMPARE(file.nameText(width, metrics), elided);
    file.setName(QStringLiteral("short.pdf"));
    QCOMPARE(file.nameText(width, metrics), QStringLiteral("short.pdf"));
}

void DownloadRecordsTest::accessibleSentence()
{
    ModelItemFile file(QStringLiteral("k"));
    apply(file, R"({"name":"a.pdf","fileSize":1536,"status":1,"downloadOffset":768})");
    QCOMPARE(accessibleText(file), QStringLiteral("a.pdf, Downloading, 50 %"));
    apply(file, R"({"status":2})");
    QCOMPARE(accessibleText(file), QStringLiteral("a.pdf, Download succeed, 1.5 KB"));
    apply(file, R"({"fileExists":false})");
    QCOMPARE(accessibleText(file), QStringLiteral("a.pdf, File has been moved or deleted, 1.5 KB"));
}

QTEST_MAIN(DownloadRecordsTest)
#include "tst_downloadrecords.moc"
