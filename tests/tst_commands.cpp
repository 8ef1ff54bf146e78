// Host commands from their wire bytes through the receive path into the
// configuration store: every decoding rule. Hostile input is catalogued in
// tst_hostilecatalogue, with a window open.
#include "testsupport.h"
#include "transport/transport.h"
#include "zuvochatwbconfigure.h"

#include <QPainter>
#include <QPixmap>
#include <QtTest>

#include <functional>

using Reading = std::function<QString()>;
using ImageGetter = QPixmap *(*)();
Q_DECLARE_METATYPE(Reading)
Q_DECLARE_METATYPE(ImageGetter)

namespace {

using C = ZuvoChatWBConfigure;

void receive(const QByteArray &bytes)
{
    transport::shareInstance()->receiveBytes(bytes);
}

QByteArray config(const char *command, const QString &text)
{
    return testsupport::wire(QStringLiteral("config"), QLatin1String(command), text);
}

QByteArray eventMessage(const char *command, const QString &text)
{
    return testsupport::wire(QStringLiteral("event"), QLatin1String(command), text);
}

QString colourText(const QColor &colour)
{
    return colour.isValid() ? colour.name(QColor::HexArgb) : QStringLiteral("invalid");
}

QString rectText()
{
    const QRect r = C::Geometry();
    return QStringLiteral("%1,%2 %3x%4 max=%5")
        .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).arg(C::Maxsized());
}

QByteArray imageCommand(const char *command, const QByteArray &bytes)
{
    return QByteArray("config:") + command + ':' + bytes.toBase64() + ';';
}

} // namespace

class CommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void decoding_data();
    void decoding();
    void maximisedFlagOnlyEverSet();
    void imagesScaledForDisplay_data();
    void imagesScaledForDisplay();
    void imagesKeepPixelsOnHighDensity_data();
    void imagesKeepPixelsOnHighDensity();
    void corruptImageIsNullAndPaintable();
    void oversizedImageRefusedUndecoded_data();
    void oversizedImageRefusedUndecoded();
    void replacedImagesNobodyHoldsAreFreed();
    void eventsWithoutWindowAreDropped();
};

void CommandsTest::initTestCase()
{
    C::init();
}

void CommandsTest::init()
{
    C::init();
    C::SetTitle(QStringLiteral("unchanged"));
    C::SetAccessToken(QStringLiteral("old-token"));
}

void CommandsTest::decoding_data()
{
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<Reading>("reading");
    QTest::addColumn<QString>("expected");

    const Reading height = [] { return QString::number(C::TitleHeight()); };
    const Reading titleBg = [] { return colourText(C::TitleBG().color()); };
    const Reading shadow = [] { return colourText(C::ShadowColor()); };
    const Reading container = [] { return colourText(C::ContainerBG().color()); };
    const Reading title = [] { return C::Title(); };
    const Reading token = [] { return C::AccessToken(); };
    const Reading store = [] { return QString::number(C::TitleStoreToZuvoShow()); };
    const Reading rect = [] { return rectText(); };

    QTest::newRow("height -5") << config("titleHeight", "-5") << height << "40";
    QTest::newRow("height 0") << config("titleHeight", "0") << height << "40";
    QTest::newRow("height abc") << config("titleHeight", "abc") << height << "40";
    QTest::newRow("height too large for int") << config("titleHeight", "99999999999") << height << "40";
    QTest::newRow("height 41") << config("titleHeight", "41") << height << "41";
    QTest::newRow("left 7") << config("titleLeft", "7") << Reading([] { return QString::number(C::TitleLeft()); }) << "7";
    QTest::newRow("right 8") << config("titleRight", "8") << Reading([] { return QString::number(C::TitleRight()); }) << "8";
    QTest::newRow("skip 9") << config("titleSkip", "9") << Reading([] { return QString::number(C::TitleSkip()); }) << "9";
    QTest::newRow("mini width 600") << config("miniWidth", "600") << Reading([] { return QString::number(C::MiniWidth()); }) << "600";

    QTest::newRow("title colour, three parts") << config("titleBackgroundColor", "10,20,30") << titleBg << "#ffc0c0c0";
    QTest::newRow("title colour, five parts") << config("titleBackgroundColor", "10,20,30,255,7") << titleBg << "#ff0a141e";
    QTest::newRow("title colour brush is solid")
        << config("titleBackgroundColor", "1,2,3,4") << Reading([] { return QString::number(C::TitleBG().style()); })
        << QString::number(Qt::SolidPattern);
    QTest::newRow("shadow half transparent") << config("shadowColor", "1,2,3,128") << shadow << "#80010203";
    QTest::newRow("shadow out of range stored invalid") << config("shadowColor", "300,0,0,255") << shadow << "invalid";
    QTest::newRow("shadow words read as zero") << config("shadowColor", "a,b,c,d") << shadow << "#00000000";
    QTest::newRow("container red") << config("containerBackgroundColor", "16711680") << container << "#ffff0000";
    QTest::newRow("container 0 ignored") << config("containerBackgroundColor", "0") << container << "#ffffffff";
    QTest::newRow("container text ignored") << config("containerBackgroundColor", "red") << container << "#ffffffff";
    QTest::newRow("container alpha bits disregarded")
        << config("containerBackgroundColor", QString::number(0x800000ffu)) << container << "#ff0000ff";

    QTest::newRow("rect with maximised") << config("windowsRect", "100,50,800,600,1") << rect << "100,50 800x600 max=1";
    QTest::newRow("rect without fifth") << config("windowsRect", "1,2,300,400") << rect << "1,2 300x400 max=0";
    QTest::newRow("rect three parts ignored") << config("windowsRect", "1,2,3") << rect << "10,10 520x850 max=0";
    QTest::newRow("rect words read as zero") << config("windowsRect", "x,2,300,400") << rect << "0,2 300x400 max=0";
    QTest::newRow("info box size")
        << config("infoBoxSize", "200,80")
        << Reading([] { return QStringLiteral("%1x%2").arg(C::InfoBoxSize().width()).arg(C::InfoBoxSize().height()); })
        << "200x80";
    QTest::newRow("info box size one part ignored")
        << config("infoBoxSize", "200")
        << Reading([] { return QString::number(C::InfoBoxSize().width()); }) << "300";
    const Reading margins = [] {
        const QMargins m = C::InfoBoxMargins();
        return QStringLiteral("%1 %2 %3 %4").arg(m.left()).arg(m.top()).arg(m.right()).arg(m.bottom());
    };
    QTest::newRow("info box margins") << config("infoBoxMargin", "1,2,3,4") << margins << "1 2 3 4";
    QTest::newRow("info box margins three parts ignored") << config("infoBoxMargin", "1,2,3") << margins << "20 20 22 16";

    // Numbers no screen can use are refused before any geometry is computed
    // from them; these overflowed int in the box's and the window's layout.
    QTest::newRow("margins beyond any screen")
        << config("infoBoxMargin", "798410,-1,-2147483648,17592186044414") << margins << "20 20 22 16";
    QTest::newRow("margins at the bound") << config("infoBoxMargin", "-32767,0,32767,5") << margins << "-32767 0 32767 5";
    QTest::newRow("rect beyond any screen")
        << config("windowsRect", "65535,-808565,-131074,-2147483647,0") << rect << "10,10 520x850 max=0";
    QTest::newRow("rect of negative width") << config("windowsRect", "1,2,-300,400") << rect << "10,10 520x850 max=0";
    QTest::newRow("rect at the bounds")
        << config("windowsRect", "-32767,32767,16384,0") << rect << "-32767,32767 16384x0 max=0";
    QTest::newRow("rect one past the bound") << config("windowsRect", "0,0,16385,600") << rect << "10,10 520x850 max=0";
    QTest::newRow("info box size negative")
        << config("infoBoxSize", "-5,80")
        << Reading([] { return QString::number(C::InfoBoxSize().width()); }) << "300";
    QTest::newRow("height at the bound") << config("titleHeight", "16384") << height << "16384";
    QTest::newRow("height beyond any screen") << config("titleHeight", "2147483647") << height << "40";
    QTest::newRow("mini width beyond any screen")
        << config("miniWidth", "16385") << Reading([] { return QString::number(C::MiniWidth()); }) << "520";

    QTest::newRow("title Hello") << QByteArray("config:title:SGVsbG8=;") << title << "Hello";
    QTest::newRow("title empty kept") << QByteArray("config:title:;") << title << "unchanged";
    QTest::newRow("title UTF-8") << config("title", QStringLiteral("频道 ✓")) << title << QStringLiteral("频道 ✓");
    QTest::newRow("title skips non-Base64") << QByteArray("config:title:SG*Vs bG8=;") << title << "Hello";
    QTest::newRow("command names are case-sensitive") << QByteArray("config:Title:SGVsbG8=;") << title << "unchanged";
    QTest::newRow("group names are case-sensitive") << QByteArray("Config:title:SGVsbG8=;") << title << "unchanged";
    QTest::newRow("config needs three fields") << QByteArray("config:title;") << title << "unchanged";
    QTest::newRow("extra fields ignored") << QByteArray("config:title:SGVsbG8=:junk;") << title << "Hello";
    QTest::newRow("token set") << config("accessToken", QStringLiteral("tök")) << token << QStringLiteral("tök");
    QTest::newRow("empty token clears") << QByteArray("config:accessToken:;") << token << "";
    QTest::newRow("back text") << config("webFileBackText", "Zurück")
                               << Reading([] { return C::WebFileBackText(); }) << "Zurück";
    QTest::newRow("ok text") << config("infoBoxOk", "Sure") << Reading([] { return C::InfoOK(); }) << "Sure";
    QTest::newRow("tips command ignored")
        << config("tipsWebFileRemoveItem", "x") << Reading([] { return C::WebFileRemoveTipsText(); })
        << "Delete this download record?";

    QTest::newRow("store TRUE between spaces") << eventMessage("updateStoreToZuvo", "  TRUE ") << store << "1";
    QTest::newRow("store yes") << eventMessage("updateStoreToZuvo", "yes") << store << "0";
    QTest::newRow("store empty") << QByteArray("event:updateStoreToZuvo:;") << store << "0";
    QTest::newRow("store without payload field") << QByteArray("event:updateStoreToZuvo;") << store << "0";
    QTest::newRow("channel True")
        << eventMessage("updateCheckChannel", "True") << Reading([] { return QString::number(C::TitleCheckChannelShow()); }) << "1";
    QTest::newRow("open outside true")
        << eventMessage("updateOpenOutside", "true") << Reading([] { return QString::number(C::TitleOpenOutsideShow()); }) << "1";
    QTest::newRow("share false")
        << eventMessage("updateShareToFriend", "false") << Reading([] { return QString::number(C::TitleShareToFriendShow()); }) << "0";
}

void CommandsTest::decoding()
{
    QFETCH(QByteArray, wire);
    QFETCH(Reading, reading);
    QFETCH(QString, expected);
    receive(wire);
    QCOMPARE(reading(), expected);
}

void CommandsTest::maximisedFlagOnlyEverSet()
{
    // Only the window's own buttons take the flag back; the host cannot.
    receive(config("windowsRect", "100,50,800,600,1"));
    QCOMPARE(C::Geometry(), QRect(QPoint(100, 50), QPoint(899, 649)));
    receive(config("windowsRect", "100,50,800,600,0"));
    QCOMPARE(C::Maxsized(), true);
    receive(config("windowsRect", "5,6,700,500"));
    QCOMPARE(rectText(), QStringLiteral("5,6 700x500 max=1"));
}

void CommandsTest::imagesScaledForDisplay_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<ImageGetter>("getter");
    QTest::newRow("window icon") << QByteArray("Icon") << ImageGetter(&C::WindowIcon);
    QTest::newRow("logo") << QByteArray("titleLogoData") << ImageGetter(&C::TitleChannelLogo);
    QTest::newRow("minimise") << QByteArray("titleMinisizeIconData") << ImageGetter(&C::TitleMiniIcon);
    QTest::newRow("maximise") << QByteArray("titleMaxsizeIconData") << ImageGetter(&C::TitleMaxIcon);
    QTest::newRow("restore") << QByteArray("titleRestoreIconData") << ImageGetter(&C::TitleRestoreIcon);
    QTest::newRow("close") << QByteArray("titleCloseIconData") << ImageGetter(&C::TitleCloseIcon);
}

void CommandsTest::imagesScaledForDisplay()
{
    QFETCH(QByteArray, command);
    QFETCH(ImageGetter, getter);
    C::SetScreenScale(C::dbisOneAndHalf);
    receive(imageCommand(command.constData(), testsupport::png(16, 8)));
    const QPixmap *image = getter();
    QCOMPARE(image->size(), QSize(24, 12));
    QCOMPARE(image->devicePixelRatio(), 1.0);
}

void CommandsTest::imagesKeepPixelsOnHighDensity_data()
{
    imagesScaledForDisplay_data();
}

void CommandsTest::imagesKeepPixelsOnHighDensity()
{
    QFETCH(QByteArray, command);
    QFETCH(ImageGetter, getter);
    C::SetScreenScale(C::dbisTwo);
    C::SetRetina(true);
    C::SetRetinaFactor(2.0);
    receive(imageCommand(command.constData(), testsupport::png(16, 8)));
    const QPixmap *image = getter();
    QCOMPARE(image->size(), QSize(16, 8));
    QCOMPARE(image->devicePixelRatio(), 2.0);
}

void CommandsTest::corruptImageIsNullAndPaintable()
{
    C::SetScreenScale(C::dbisOneAndHalf);
    receive(imageCommand("titleCloseIconData", "this is no image"));
    QVERIFY(C::TitleCloseIcon()->isNull());
    receive(QByteArray("config:titleLogoData:;"));
    QVERIFY(C::TitleChannelLogo()->isNull());

    QImage canvas(32, 32, QImage::Format_ARGB32);
    canvas.fill(Qt::blue);
    QPainter painter(&canvas);
    painter.drawPixmap(0, 0, *C::TitleCloseIcon());
    painter.drawPixmap(QRect(0, 0, 10, 10), *C::TitleChannelLogo());
    painter.end();
    QCOMPARE(QColor(canvas.pixel(5, 5)), QColor(Qt::blue));
}

void CommandsTest::oversizedImageRefusedUndecoded_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QSize>("stored"); // empty: a null image, like an unreadable one
    QTest::newRow("header of 100000 x 100000") << testsupport::pngDeclaring(100000, 100000) << QSize();
    QTest::newRow("header of 30000 x 30000") << testsupport::pngDeclaring(30000, 30000) << QSize();
    QTest::newRow("header of 2^31 x 1") << testsupport::pngDeclaring(0x80000000u, 1) << QSize();
    QTest::newRow("one pixel too wide") << testsupport::png(1025, 2) << QSize();
    QTest::newRow("one pixel too high") << testsupport::png(2, 1025) << QSize();
    QTest::newRow("largest accepted") << testsupport::png(1024, 1024) << QSize(1024, 1024);
}

void CommandsTest::oversizedImageRefusedUndecoded()
{
    QFETCH(QByteArray, image);
    QFETCH(QSize, stored);
    C::SetScreenScale(C::dbisOne);
    receive(imageCommand("titleCloseIconData", image));
    QCOMPARE(C::TitleCloseIcon()->size(), stored.isValid() ? stored : QSize(0, 0));
}

void CommandsTest::replacedImagesNobodyHoldsAreFreed()
{
    // Given an image somebody holds, four hundred replacements nobody asked for
    // and a last one that is read.
    C::SetScreenScale(C::dbisOne);
    receive(imageCommand("titleLogoData", testsupport::png(20, 20)));
    QPixmap *held = C::TitleChannelLogo();
    const QByteArray large = testsupport::png(1024, 1024);
    const qint64 before = testsupport::residentBytes();
    for (int i = 0; i < 400; ++i)
        receive(imageCommand("titleLogoData", large));
    // Then the held one is intact, and the 4 MB images did not pile up to
    // 1.6 GB (the bound leaves room for a sanitizer's quarantine of freed memory).
    QCOMPARE(held->size(), QSize(20, 20));
    QCOMPARE(C::TitleChannelLogo()->size(), QSize(1024, 1024));
    QVERIFY2(testsupport::residentBytes() - before < 640 * 1024 * 1024,
             qPrintable(QString::number(testsupport::residentBytes() - before)));
}

void CommandsTest::eventsWithoutWindowAreDropped()
{
    // The rest of the hostile input is catalogued with a window open.
    receive(QByteArray("event:active;event:showBoxMessage:aGk=;event:bogus:;event:updateShareToFriend:dHJ1ZQ==;"));
    QCOMPARE(C::TitleShareToFriendShow(), true);
    receive(config("titleHeight", "37") + config("title", "still answering"));
    QCOMPARE(C::TitleHeight(), 37);
    QCOMPARE(C::Title(), QStringLiteral("still answering"));
}

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
