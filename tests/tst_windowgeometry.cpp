// Window rectangles without widgets. Where a drag by the title bar or an
// edge puts a window at 300,200 of 800 x 600 with the default minimum of
// 520 x 100: edges the drag does not name must not move by a single pixel,
// and a drag past the minimum must stop the named edge rather than slide the
// window. And where a window opens whose saved place is off every screen,
// and which area it takes for the frame it reported.
#include "screenfit.h"
#include "windowdrag.h"

#include <QtTest>

using Impl = ZuvoChatWebBroswer_impl;
Q_DECLARE_METATYPE(ZuvoChatWebBroswer_impl::DragType)
Q_DECLARE_METATYPE(QMargins)

class tst_WindowGeometry : public QObject
{
    Q_OBJECT

private slots:
    void newRectangle_data();
    void newRectangle();
    void fitOnScreens_data();
    void fitOnScreens();
    void windowForFrame_data();
    void windowForFrame();
};

void tst_WindowGeometry::newRectangle_data()
{
    QTest::addColumn<Impl::DragType>("type");
    QTest::addColumn<QPoint>("displacement");
    QTest::addColumn<QRect>("expected");

    // Edges and corners, both ways.
    QTest::newRow("right +80") << Impl::DragRight << QPoint(80, 13) << QRect(300, 200, 880, 600);
    QTest::newRow("right -80") << Impl::DragRight << QPoint(-80, 0) << QRect(300, 200, 720, 600);
    QTest::newRow("left +30") << Impl::DragLeft << QPoint(30, -9) << QRect(330, 200, 770, 600);
    QTest::newRow("left -120") << Impl::DragLeft << QPoint(-120, 0) << QRect(180, 200, 920, 600);
    QTest::newRow("top -50") << Impl::DragTop << QPoint(7, -50) << QRect(300, 150, 800, 650);
    QTest::newRow("top +50") << Impl::DragTop << QPoint(0, 50) << QRect(300, 250, 800, 550);
    QTest::newRow("bottom +40") << Impl::DragBottom << QPoint(-7, 40) << QRect(300, 200, 800, 640);
    QTest::newRow("top-left") << Impl::DragTopLeft << QPoint(-10, -20) << QRect(290, 180, 810, 620);
    QTest::newRow("top-right") << Impl::DragTopRight << QPoint(10, 20) << QRect(300, 220, 810, 580);
    QTest::newRow("bottom-left") << Impl::DragBottomLeft << QPoint(10, 20) << QRect(310, 200, 790, 620);
    QTest::newRow("bottom-right") << Impl::DragBottomRight << QPoint(-10, -20) << QRect(300, 200, 790, 580);

    // The minimum stops the named edge; the opposite edge stays put
    // (right edge 1099, bottom edge 799).
    QTest::newRow("left +500 stops at min width") << Impl::DragLeft << QPoint(500, 0) << QRect(580, 200, 520, 600);
    QTest::newRow("right -500 stops at min width") << Impl::DragRight << QPoint(-500, 0) << QRect(300, 200, 520, 600);
    QTest::newRow("top +700 stops at min height") << Impl::DragTop << QPoint(0, 700) << QRect(300, 700, 800, 100);
    QTest::newRow("bottom -900 stops at min height") << Impl::DragBottom << QPoint(0, -900)
                                                     << QRect(300, 200, 800, 100);
    QTest::newRow("top-left past both minimums") << Impl::DragTopLeft << QPoint(1000, 1000)
                                                 << QRect(580, 700, 520, 100);
    QTest::newRow("bottom-left past min width") << Impl::DragBottomLeft << QPoint(400, 30)
                                                << QRect(580, 200, 520, 630);
    QTest::newRow("exactly the minimum") << Impl::DragRight << QPoint(-280, 0) << QRect(300, 200, 520, 600);

    // The title bar moves the whole window; no press moves nothing.
    QTest::newRow("title bar") << Impl::DragClient << QPoint(-15, 35) << QRect(285, 235, 800, 600);
    QTest::newRow("title bar past the minimum") << Impl::DragClient << QPoint(900, 900)
                                                << QRect(1200, 1100, 800, 600);
    QTest::newRow("none") << Impl::DragNone << QPoint(40, 40) << QRect(300, 200, 800, 600);
}

void tst_WindowGeometry::newRectangle()
{
    QFETCH(Impl::DragType, type);
    QFETCH(QPoint, displacement);
    QFETCH(QRect, expected);
    QCOMPARE(dragGeometry(type, QRect(300, 200, 800, 600), displacement, QSize(520, 100)), expected);
}

void tst_WindowGeometry::fitOnScreens_data()
{
    // Frame: 1 pixel left, right and bottom, a 20-pixel title bar.
    const QRect left(0, 0, 1600, 1200);
    const QRect right(1600, 0, 1280, 1024);
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QList<QRect>>("areas");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("fits: unchanged") << QRect(211, 157, 733, 521) << QList<QRect>{left} << QRect(211, 157, 733, 521);
    QTest::newRow("frame touching every edge: unchanged")
        << QRect(1, 20, 1598, 1179) << QList<QRect>{left} << QRect(1, 20, 1598, 1179);
    QTest::newRow("screen gone on the right") << QRect(3000, 300, 800, 600) << QList<QRect>{left}
                                              << QRect(799, 300, 800, 600);
    QTest::newRow("half off the bottom") << QRect(200, 900, 700, 600) << QList<QRect>{left}
                                         << QRect(200, 599, 700, 600);
    QTest::newRow("title bar above the top") << QRect(200, 0, 700, 600) << QList<QRect>{left}
                                             << QRect(200, 20, 700, 600);
    QTest::newRow("larger than the screen") << QRect(-100, -50, 2000, 1400) << QList<QRect>{left}
                                            << QRect(1, 20, 1598, 1179);
    QTest::newRow("left of everything, nearer the left screen")
        << QRect(-900, 100, 800, 600) << QList<QRect>{left, right} << QRect(1, 100, 800, 600);
    QTest::newRow("mostly on the right screen") << QRect(1500, 900, 800, 600) << QList<QRect>{left, right}
                                                << QRect(1601, 423, 800, 600);
    QTest::newRow("on the right screen: unchanged") << QRect(1700, 100, 800, 600) << QList<QRect>{left, right}
                                                    << QRect(1700, 100, 800, 600);
    QTest::newRow("no screens: unchanged") << QRect(3000, 300, 800, 600) << QList<QRect>{}
                                           << QRect(3000, 300, 800, 600);
}

void tst_WindowGeometry::fitOnScreens()
{
    QFETCH(QRect, window);
    QFETCH(QList<QRect>, areas);
    QFETCH(QRect, expected);
    QCOMPARE(::fitOnScreens(window, QMargins(1, 20, 1, 1), areas), expected);
}

void tst_WindowGeometry::windowForFrame_data()
{
    // A frame the window reported: the window goes inside it.
    QTest::addColumn<QRect>("savedFrame");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("fits: the frame comes back") << QRect(299, 180, 802, 625) << QMargins(1, 20, 1, 1)
                                                << QRect(300, 200, 800, 604);
    QTest::newRow("no frame known: as saved") << QRect(299, 180, 802, 625) << QMargins() << QRect(299, 180, 802, 625);
    QTest::newRow("screen gone: the frame at its edge") << QRect(3000, 300, 800, 600) << QMargins(1, 20, 1, 1)
                                                        << QRect(801, 320, 798, 579);
}

void tst_WindowGeometry::windowForFrame()
{
    QFETCH(QRect, savedFrame);
    QFETCH(QMargins, frame);
    QFETCH(QRect, expected);
    QCOMPARE(::windowForFrame(savedFrame, frame, {QRect(0, 0, 1600, 1200)}), expected);
}

QTEST_MAIN(tst_WindowGeometry)
#include "tst_windowgeometry.moc"
