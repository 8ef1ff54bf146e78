// Images at display resolution. One process per display setting, chosen by
// ZUVO_TEST_SCALE (125, 150, 200) or QT_SCALE_FACTOR=2 for a high-density
// display, because every image is loaded once per process.
#include "resource.h"
#include "zuvochatwbconfigure.h"

#include <QImage>
#include <QPixmap>
#include <QtTest>

using Getter = QPixmap *(Resource::*)();
Q_DECLARE_METATYPE(Getter)

class ResourceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void imageSizes_data();
    void imageSizes();
    void gettersReturnTheSamePixmap();
    void setterKeepsEarlierImageAlive();
    void nullTitleImageFallsBackToWhiteSquare();
    void highDensityScaleRule();

private:
    // Device pixels of an image drawn at `size` for a 100 % display.
    QSize expectedDevicePixels(QSize size) const;
    bool _highDensity = false;
};

void ResourceTest::initTestCase()
{
    ZuvoChatWBConfigure::init();
    _highDensity = qApp->devicePixelRatio() > 1.0;
    const QByteArray scale = qgetenv("ZUVO_TEST_SCALE");
    if (scale == "125")
        ZuvoChatWBConfigure::SetScreenScale(ZuvoChatWBConfigure::dbisOneAndQuarter);
    else if (scale == "150")
        ZuvoChatWBConfigure::SetScreenScale(ZuvoChatWBConfigure::dbisOneAndHalf);
    else if (scale == "200")
        ZuvoChatWBConfigure::SetScreenScale(ZuvoChatWBConfigure::dbisTwo);
    qInfo() << "device pixel ratio" << qApp->devicePixelRatio() << "screen scale" << ZuvoChatWBConfigure::ScreenScale();
}

QSize ResourceTest::expectedDevicePixels(QSize size) const
{
    if (_highDensity)
        return size * 2;
    const int width = ZuvoChatWBConfigure::convertScale(size.width());
    // Scaling keeps the aspect ratio, rounding the height.
    return QSize(width, qRound(double(size.height()) * width / size.width()));
}

void ResourceTest::imageSizes_data()
{
    QTest::addColumn<Getter>("getter");
    QTest::addColumn<QSize>("size");
    const QSize fileIcon(48, 48);
    const QSize windowButton(23, 19);
    QTest::newRow("ppt") << Getter(&Resource::pptIcon) << fileIcon;
    QTest::newRow("doc") << Getter(&Resource::docIcon) << fileIcon;
    QTest::newRow("xls") << Getter(&Resource::xlsIcon) << fileIcon;
    QTest::newRow("pdf") << Getter(&Resource::pdfIcon) << fileIcon;
    QTest::newRow("rar") << Getter(&Resource::rarIcon) << fileIcon;
    QTest::newRow("audio") << Getter(&Resource::audioIcon) << fileIcon;
    QTest::newRow("video") << Getter(&Resource::videoIcon) << fileIcon;
    QTest::newRow("img") << Getter(&Resource::imgIcon) << fileIcon;
    QTest::newRow("txt") << Getter(&Resource::txtIcon) << fileIcon;
    QTest::newRow("other") << Getter(&Resource::otherIcon) << fileIcon;
    QTest::newRow("ppt gray") << Getter(&Resource::pptGrayIcon) << fileIcon;
    QTest::newRow("doc gray") << Getter(&Resource::docGrayIcon) << fileIcon;
    QTest::newRow("xls gray") << Getter(&Resource::xlsGrayIcon) << fileIcon;
    QTest::newRow("pdf gray") << Getter(&Resource::pdfGrayIcon) << fileIcon;
    QTest::newRow("rar gray") << Getter(&Resource::rarGrayIcon) << fileIcon;
    QTest::newRow("audio gray") << Getter(&Resource::audioGrayIcon) << fileIcon;
    QTest::newRow("video gray") << Getter(&Resource::videoGrayIcon) << fileIcon;
    QTest::newRow("img gray") << Getter(&Resource::imgGrayIcon) << fileIcon;
    QTest::newRow("txt gray") << Getter(&Resource::txtGrayIcon) << fileIcon;
    QTest::newRow("other gray") << Getter(&Resource::otherGrayIcon) << fileIcon;
    QTest::newRow("delete mark") << Getter(&Resource::fileHistoryDeleteIcon) << QSize(12, 12);
    QTest::newRow("empty panel") << Getter(&Resource::fileEmptyLog) << QSize(214, 214);
    QTest::newRow("channel logo") << Getter(&Resource::channelLogo) << QSize(20, 20);
    QTest::newRow("minimize") << Getter(&Resource::miniIcon) << windowButton;
    QTest::newRow("maximize") << Getter(&Resource::maxIcon) << windowButton;
    QTest::newRow("restore") << Getter(&Resource::restoreIcon) << windowButton;
    QTest::newRow("close") << Getter(&Resource::closeIcon) << windowButton;
    QTest::newRow("window icon") << Getter(&Resource::windowIcon) << QSize(256, 256);
}

void ResourceTest::imageSizes()
{
    QFETCH(Getter, getter);
    QFETCH(QSize, size);
    const QPixmap *image = (Resource::ShareInstance()->*getter)();
    QVERIFY(image);
    QVERIFY(!image->isNull());
    if (_highDensity && size == QSize(23, 19)) {
        // The window buttons' 2x files are 47 x 38, not an exact double.
        QCOMPARE(image->size(), QSize(47, 38));
    } else {
        // The toolkit rounds the proportional height up or down by a pixel.
        const QSize expected = expectedDevicePixels(size);
        QCOMPARE(image->width(), expected.width());
        QVERIFY2(qAbs(image->height() - expected.height()) <= 1, qPrintable(QString::number(image->height())));
    }
    QCOMPARE(image->devicePixelRatio(), _highDensity ? 2.0 : 1.0);
}

void ResourceTest::gettersReturnTheSamePixmap()
{
    Resource *resource = Resource::ShareInstance();
    QCOMPARE(Resource::ShareInstance(), resource);
    QCOMPARE(resource->docIcon(), resource->docIcon());
    QCOMPARE(resource->fileHistoryDeleteIcon(), resource->fileHistoryDeleteIcon());
    QCOMPARE(ZuvoChatWBConfigure::TitleCloseIcon(), resource->closeIcon());
}

void ResourceTest::setterKeepsEarlierImageAlive()
{
    Resource *resource = Resource::ShareInstance();
    QPixmap *previous = resource->closeIcon();
    const QSize previousSize = previous->size();
    auto *replacement = new QPixmap(8, 8);
    ZuvoChatWBConfigure::SetTitleCloseIcon(replacement);
    QCOMPARE(resource->closeIcon(), replacement);
    // Widgets built earlier may still paint the old image.
    QCOMPARE(previous->size(), previousSize);
    QVERIFY(!previous->toImage().isNull());
}

void ResourceTest::nullTitleImageFallsBackToWhiteSquare()
{
    Resource::ShareInstance()->setChannelLogo(nullptr);
    const QPixmap *logo = Resource::ShareInstance()->channelLogo();
    QVERIFY(logo);
    QCOMPARE(logo->size(), QSize(16, 16));
    const QImage image = logo->toImage();
    QCOMPARE(QColor(image.pixel(0, 0)), QColor(Qt::white));
    QCOMPARE(QColor(image.pixel(15, 15)), QColor(Qt::white));
    QCOMPARE(Resource::ShareInstance()->channelLogo(), logo);
}

void ResourceTest::highDensityScaleRule()
{
    if (!_highDensity)
        QSKIP("needs QT_SCALE_FACTOR=2");
    QCOMPARE(ZuvoChatWBConfigure::Retina(), true);
    QCOMPARE(ZuvoChatWBConfigure::RetinaFactor(), 2.0);
    QCOMPARE(ZuvoChatWBConfigure::RealScale(), ZuvoChatWBConfigure::dbisOne);
    QCOMPARE(ZuvoChatWBConfigure::ConfigScale(), ZuvoChatWBConfigure::dbisOne);
    QCOMPARE(ZuvoChatWBConfigure::convertScale(520), 520);
    QCOMPARE(ZuvoChatWBConfigure::font().pixelSize(), 14);
}

QTEST_MAIN(ResourceTest)
#include "tst_resource.moc"
