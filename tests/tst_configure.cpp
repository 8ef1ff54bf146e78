// The configuration store: what a browser looks like before the host has
// said anything, and the display-scale rule every pixel size goes through.
#include "zuvochatwbconfigure.h"

#include <QFontInfo>
#include <QtTest>

using Scale = ZuvoChatWBConfigure::DBIScale;
Q_DECLARE_METATYPE(ZuvoChatWBConfigure::DBIScale)

class ConfigureTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void textDefaults_data();
    void textDefaults();
    void otherDefaults();
    void noHighDensityAtRatioOne();

    void dpiClasses_data();
    void dpiClasses();
    void convertScale_data();
    void convertScale();
    void freeConvertScaleAgrees();
    void realScaleOverridesScreenScale();

    void fontFallsBackWithoutResource();
};

void ConfigureTest::initTestCase()
{
    ZuvoChatWBConfigure::init();
}

void ConfigureTest::cleanup()
{
    ZuvoChatWBConfigure::SetRealScale(ZuvoChatWBConfigure::dbisAuto);
    ZuvoChatWBConfigure::SetScreenScale(ZuvoChatWBConfigure::dbisOne);
}

void ConfigureTest::textDefaults_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    using C = ZuvoChatWBConfigure;
    QTest::newRow("title") << C::Title() << QString();
    QTest::newRow("refresh") << C::TitleRefreshText() << "Refresh";
    QTest::newRow("collect") << C::TitleCollectText() << "Collect";
    QTest::newRow("share") << C::TitleShareText() << "Share";
    QTest::newRow("channel") << C::TitleChannelText() << "Channel";
    QTest::newRow("open outside") << C::TitleOpenOutsideText() << "Open Outside";
    QTest::newRow("web file") << C::TitleWebFileText() << "Download History";
    QTest::newRow("empty") << C::WebFileEmptyText() << "Download Empty";
    QTest::newRow("success") << C::WebFileSuccessText() << "Download succeed";
    QTest::newRow("failed") << C::WebFileFailedText() << "Dwonload failed";
    QTest::newRow("open in folder") << C::WebFileOpenInFolderText() << "Open in folder";
    QTest::newRow("back") << C::WebFileBackText() << "Back";
    QTest::newRow("redownload") << C::WebFileRedownloadText() << "Download again";
    QTest::newRow("missed") << C::WebFileMissedText() << "File has been moved or deleted";
    QTest::newRow("remove all") << C::WebFileRemoveAllText() << "Clean";
    QTest::newRow("remove tips") << C::WebFileRemoveTipsText() << "Delete this download record?";
    QTest::newRow("remove all tips") << C::WebFileRemoveAllTipsText() << "Clean all download record?";
    QTest::newRow("ok") << C::InfoOK() << "Ok";
    QTest::newRow("cancel") << C::InfoCancel() << "Cancel";
    QTest::newRow("delete") << C::InfoDelete() << "Delete";
    QTest::newRow("clean") << C::InfoClean() << "Clean";
    QTest::newRow("token") << C::AccessToken() << QString();
}

void ConfigureTest::textDefaults()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void ConfigureTest::otherDefaults()
{
    using C = ZuvoChatWBConfigure;
    QCOMPARE(C::TitleHeight(), 40);
    QCOMPARE(C::TitleLeft(), 5);
    QCOMPARE(C::TitleRight(), 5);
    QCOMPARE(C::TitleSkip(), 5);
    QCOMPARE(C::MiniWidth(), 520);
    QCOMPARE(C::TitleBG(), QBrush(Qt::lightGray, Qt::SolidPattern));
    QCOMPARE(C::ContainerBG(), QBrush(Qt::white, Qt::SolidPattern));
    QCOMPARE(C::ShadowColor(), QColor(Qt::gray));
    QCOMPARE(C::Geometry(), QRect(10, 10, 520, 850));
    QCOMPARE(C::Maxsized(), false);
    QCOMPARE(C::InfoBoxSize(), QSize(300, 100));
    QCOMPARE(C::InfoBoxMargins(), QMargins(20, 20, 22, 16));
    // Only the host turns on the channel and open-outside buttons.
    QCOMPARE(C::TitleCheckChannelShow(), false);
    QCOMPARE(C::TitleOpenOutsideShow(), false);
    QCOMPARE(C::TitleStoreToZuvoShow(), true);
    QCOMPARE(C::TitleShareToFriendShow(), true);
    QCOMPARE(C::font().family(), QStringLiteral("Open Sans"));
    QCOMPARE(C::font().pixelSize(), 14);
    QCOMPARE(QFontInfo(C::font()).family(), QStringLiteral("Open Sans"));
}

void ConfigureTest::noHighDensityAtRatioOne()
{
    QCOMPARE(qApp->devicePixelRatio(), 1.0);
    QCOMPARE(ZuvoChatWBConfigure::Retina(), false);
    QCOMPARE(ZuvoChatWBConfigure::RetinaFactor(), 1.0);
    QCOMPARE(ZuvoChatWBConfigure::RealScale(), ZuvoChatWBConfigure::dbisAuto);
    QCOMPARE(ZuvoChatWBConfigure::ConfigScale(), ZuvoChatWBConfigure::dbisAuto);
}

void ConfigureTest::dpiClasses_data()
{
    QTest::addColumn<double>("dpi");
    QTest::addColumn<Scale>("scale");
    QTest::newRow("96") << 96.0 << ZuvoChatWBConfigure::dbisOne;
    QTest::newRow("108") << 108.0 << ZuvoChatWBConfigure::dbisOne;
    QTest::newRow("108.5") << 108.5 << ZuvoChatWBConfigure::dbisOneAndQuarter;
    QTest::newRow("132") << 132.0 << ZuvoChatWBConfigure::dbisOneAndQuarter;
    QTest::newRow("132.1") << 132.1 << ZuvoChatWBConfigure::dbisOneAndHalf;
    QTest::newRow("168") << 168.0 << ZuvoChatWBConfigure::dbisOneAndHalf;
    QTest::newRow("169") << 169.0 << ZuvoChatWBConfigure::dbisTwo;
}

void ConfigureTest::dpiClasses()
{
    QFETCH(double, dpi);
    QFETCH(Scale, scale);
    QCOMPARE(ZuvoChatWBConfigure::scaleForLogicalDpi(dpi), scale);
}

void ConfigureTest::convertScale_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("at100");
    QTest::addColumn<int>("at125");
    QTest::addColumn<int>("at150");
    QTest::addColumn<int>("at200");
    QTest::newRow("0") << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("1") << 1 << 1 << 1 << 1 << 2;
    QTest::newRow("2") << 2 << 2 << 2 << 3 << 4;
    QTest::newRow("3") << 3 << 3 << 4 << 4 << 6;
    QTest::newRow("5") << 5 << 5 << 6 << 7 << 10;
    QTest::newRow("6") << 6 << 6 << 7 << 9 << 12;
    QTest::newRow("10") << 10 << 10 << 12 << 15 << 20;
    QTest::newRow("14") << 14 << 14 << 17 << 21 << 28;
    QTest::newRow("16") << 16 << 16 << 20 << 24 << 32;
    QTest::newRow("22") << 22 << 22 << 27 << 33 << 44;
    QTest::newRow("520") << 520 << 520 << 650 << 780 << 1040;
    QTest::newRow("850") << 850 << 850 << 1062 << 1275 << 1700;
    QTest::newRow("-3") << -3 << -3 << -4 << -5 << -6;
}

void ConfigureTest::convertScale()
{
    QFETCH(int, value);
    QFETCH(int, at100);
    QFETCH(int, at125);
    QFETCH(int, at150);
    QFETCH(int, at200);
    const QList<QPair<Scale, int>> expectations = {
        {ZuvoChatWBConfigure::dbisOne, at100},
        {ZuvoChatWBConfigure::dbisOneAndQuarter, at125},
        {ZuvoChatWBConfigure::dbisOneAndHalf, at150},
        {ZuvoChatWBConfigure::dbisTwo, at200},
    };
    for (const auto &expectation : expectations) {
        ZuvoChatWBConfigure::SetScreenScale(expectation.first);
        QCOMPARE(ZuvoChatWBConfigure::convertScale(value), expectation.second);
    }
}

void ConfigureTest::freeConvertScaleAgrees()
{
    ZuvoChatWBConfigure::SetScreenScale(ZuvoChatWBConfigure::dbisOneAndQuarter);
    QCOMPARE(::convertScale(6), ZuvoChatWBConfigure::convertScale(6));
    QCOMPARE(::convertScale(6), 7);
}

void ConfigureTest::realScaleOverridesScreenScale()
{
    // On a high-density display the toolkit scales, so the program must not.
    ZuvoChatWBConfigure::SetScreenScale(ZuvoChatWBConfigure::dbisTwo);
    ZuvoChatWBConfigure::SetRealScale(ZuvoChatWBConfigure::dbisOne);
    QCOMPARE(ZuvoChatWBConfigure::convertScale(520), 520);
    ZuvoChatWBConfigure::SetRealScale(ZuvoChatWBConfigure::dbisScaleCount);
    QCOMPARE(ZuvoChatWBConfigure::convertScale(520), 520);
    ZuvoChatWBConfigure::SetRealScale(ZuvoChatWBConfigure::dbisAuto);
    QCOMPARE(ZuvoChatWBConfigure::convertScale(520), 1040);
}

void ConfigureTest::fontFallsBackWithoutResource()
{
    Q_CLEANUP_RESOURCE(zuvochatfonts);
    ZuvoChatWBConfigure::init();
    const QFont fallback = ZuvoChatWBConfigure::font();
    Q_INIT_RESOURCE(zuvochatfonts);

    QCOMPARE(fallback, QFont());
    QCOMPARE(fallback.pixelSize(), -1);
    // The rest of the defaults are in place all the same.
    QCOMPARE(ZuvoChatWBConfigure::TitleHeight(), 40);
    ZuvoChatWBConfigure::init();
    QCOMPARE(ZuvoChatWBConfigure::font().family(), QStringLiteral("Open Sans"));
}

QTEST_MAIN(ConfigureTest)
#include "tst_configure.moc"
