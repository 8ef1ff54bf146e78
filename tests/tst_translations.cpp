// The browser's words in the languages it ships. Every catalogue compiled
// into the program must carry every text the code marks for translation,
// found afresh in the sources by lupdate, with the same placeholders; Qt's
// own catalogue comes along for its dialogs. Which catalogue is in force
// follows the host's tag, then the desktop's languages, then English, and a
// text the host sent is shown as sent.
#include "language.h"
#include "zuvochatwbconfigure.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

#include <utility>

namespace {

struct SourceText {
    QString context;
    QString source;
};

QStringList placeholders(const QString &text)
{
    static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
    QStringList found;
    for (auto it = placeholder.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}

} // namespace

class tst_Translations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void catalogueFollowsTagThenDesktopThenEnglish_data();
    void catalogueFollowsTagThenDesktopThenEnglish();
    void everyCatalogueTranslatesEveryText_data();
    void everyCatalogueTranslatesEveryText();
    void hostTextsStandBuiltInOnesFollowTheLanguage_data();
    void hostTextsStandBuiltInOnesFollowTheLanguage();

private:
    QList<SourceText> _texts;
};

void tst_Translations::initTestCase()
{
    ZuvoChatWBConfigure::init();
    // What the code marks today, not what the catalogues happen to hold.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString extracted = dir.filePath(QStringLiteral("sources.ts"));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(ZUVO_LUPDATE), {QStringLiteral("-silent"), QStringLiteral("-locations"),
                                                  QStringLiteral("none"), QStringLiteral(ZUVO_SOURCE_DIR "/src"),
                                                  QStringLiteral("-ts"), extracted});
    QVERIFY2(lupdate.waitForFinished(60000) && lupdate.exitCode() == 0, lupdate.readAll().constData());

    QFile file(extracted);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            _texts.append({context, xml.readElementText()});
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    // The menu, the find bar, the panel, the notices and the built-in captions.
    QVERIFY2(_texts.size() > 50, qPrintable(QString::number(_texts.size())));
}

void tst_Translations::catalogueFollowsTagThenDesktopThenEnglish_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QStringList>("desktop"); // as QLocale::uiLanguages() gives them, best first
    QTest::addColumn<QString>("catalogue");   // empty: English

    const QStringList german{"de-DE", "de"};
    QTest::newRow("host's tag before the desktop") << "zh-CN" << german << "zh_CN";
    QTest::newRow("underscore and region") << "zh_TW" << german << "zh_TW";
    QTest::newRow("Hong Kong reads Traditional") << "zh-HK" << german << "zh_TW";
    QTest::newRow("Traditional by script") << "zh-Hant" << german << "zh_TW";
    QTest::newRow("Simplified by script, Singapore") << "zh-Hans-SG" << german << "zh_CN";
    QTest::newRow("Chinese alone is Simplified") << "zh" << german << "zh_CN";
    QTest::newRow("Japanese") << "ja" << german << "ja";
    QTest::newRow("any region of a shipped language") << "es-MX" << german << "es";
    QTest::newRow("English from the host, on a German desktop") << "en" << german << "";
    QTest::newRow("a language not shipped: the desktop's") << "fr" << german << "de";
    QTest::newRow("no language at all: the desktop's") << "x-nonsense-1" << QStringList{"ja-JP"} << "ja";
    QTest::newRow("no tag: the desktop's first shipped language") << "" << QStringList{"fr-FR", "es-ES", "de"}
                                                                    << "es";
    QTest::newRow("the desktop's English comes first") << "" << QStringList{"en-GB", "de"} << "";
    QTest::newRow("C locale: English") << "" << QStringList{"C"} << "";
    QTest::newRow("nothing shipped anywhere: English") << "fr" << QStringList{"it-IT"} << "";
}

void tst_Translations::catalogueFollowsTagThenDesktopThenEnglish()
{
    QFETCH(QString, tag);
    QFETCH(QStringList, desktop);
    QFETCH(QString, catalogue);
    QCOMPARE(language::catalogueFor(tag, desktop), catalogue);
}

void tst_Translations::everyCatalogueTranslatesEveryText_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<QString>("qtCancel"); // Qt's dialogs' button in the same language

    const QStringList cancel{QString::fromUtf8("取消"), QString::fromUtf8("取消"), QString::fromUtf8("キャンセル"),
                             QStringLiteral("Abbrechen"), QStringLiteral("Cancelar")};
    const QStringList shipped = language::shippedCatalogues();
    QCOMPARE(shipped.size(), cancel.size());
    for (int i = 0; i < shipped.size(); ++i)
        QTest::newRow(qPrintable(shipped[i])) << shipped[i] << cancel[i];
}

void tst_Translations::everyCatalogueTranslatesEveryText()
{
    QFETCH(QString, catalogue);
    QFETCH(QString, qtCancel);

    // Through the host's tag, as the running browser loads it.
    QCOMPARE(language::apply(QString(catalogue).replace(QLatin1Char('_'), QLatin1Char('-'))), catalogue);
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), qtCancel);

    QTranslator own;
    QVERIFY(own.load(QStringLiteral(":/i18n/zuvo_") + catalogue));
    QStringList faults;
    for (const SourceText &text : std::as_const(_texts)) {
        const QString translated =
            own.translate(text.context.toUtf8().constData(), text.source.toUtf8().constData());
        if (translated.isEmpty())
            faults << QStringLiteral("untranslated: %1 \"%2\"").arg(text.context, text.source);
        else if (placeholders(translated) != placeholders(text.source))
            faults << QStringLiteral("placeholders differ: %1 \"%2\" -> \"%3\"").arg(text.context, text.source, translated);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void tst_Translations::hostTextsStandBuiltInOnesFollowTheLanguage_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("hostText"); // empty: the host sent none
    QTest::addColumn<QString>("shown");

    QTest::newRow("built-in, German") << "de" << "" << "Aktualisieren";
    QTest::newRow("built-in, Japanese") << "ja" << "" << QString::fromUtf8("更新");
    QTest::newRow("host's, German") << "de" << "Neu laden" << "Neu laden";
    QTest::newRow("built-in, English") << "en" << "" << "Refresh";
}

void tst_Translations::hostTextsStandBuiltInOnesFollowTheLanguage()
{
    QFETCH(QString, tag);
    QFETCH(QString, hostText);
    QFETCH(QString, shown);

    ZuvoChatWBConfigure::init();
    if (!hostText.isEmpty())
        ZuvoChatWBConfigure::SetTitleRefreshText(hostText);
    ZuvoChatWBConfigure::SetLanguage(tag);
    QCOMPARE(ZuvoChatWBConfigure::TitleRefreshText(), shown);
}

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"
