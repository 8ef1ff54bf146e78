#include "button.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer_private.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QColor kBackground(Qt::white);

// Records both button signals, in the order they arrive, as "old>new" for a
// state change (the new state read back as receivers do) and "clicked".
class SignalLog : public QObject
{
public:
    explicit SignalLog(Button *button)
    {
        connect(button, &Button::stateChanged, this, [this, button](int oldState) {
            _entries << QStringLiteral("%1>%2").arg(oldState).arg(button->getState());
        });
        connect(button, &Button::clicked, this, [this] { _entries << QStringLiteral("clicked"); });
    }

    QString text() const { return _entries.join(QLatin1Char(' ')); }

private:
    QStringList _entries;
};

// QTest's own move goes through the cursor, which the offscreen platform does
// not route to widgets; the held buttons must be stated explicitly.
void sendMouse(QWidget *widget, QEvent::Type type, const QPointF &pos, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos.toPoint()), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void sendPlain(QWidget *widget, QEvent::Type type)
{
    QEvent event(type);
    QApplication::sendEvent(widget, &event);
}

// Plays a space-separated script of pointer and state operations on button.
void play(Button *button, const QString &script)
{
    const QPoint centre = button->rect().center();
    const QPointF outside(button->width() + 5, button->height() / 2.0);
    // Within half a pixel of the right edge: only rounding puts it outside.
    const QPointF justOutside(button->width() - 0.4, button->height() / 2.0);
    const Qt::MouseButtons left = Qt::LeftButton;

    const QHash<QString, std::function<void()>> steps = {
        {"enter", [&] { sendPlain(button, QEvent::Enter); }},
        {"leave", [&] { sendPlain(button, QEvent::Leave); }},
        {"press", [&] { QTest::mousePress(button, Qt::LeftButton, {}, centre); }},
        {"release", [&] { QTest::mouseRelease(button, Qt::LeftButton, {}, centre); }},
        {"rpress", [&] { QTest::mousePress(button, Qt::RightButton, {}, centre); }},
        {"rrelease", [&] { QTest::mouseRelease(button, Qt::RightButton, {}, centre); }},
        {"bothpress", [&] { sendMouse(button, QEvent::MouseButtonPress, centre, Qt::RightButton, left | Qt::RightButton); }},
        {"dragout", [&] { sendMouse(button, QEvent::MouseMove, outside, Qt::NoButton, left); }},
        {"dragedgeout", [&] { sendMouse(button, QEvent::MouseMove, justOutside, Qt::NoButton, left); }},
        {"dragin", [&] { sendMouse(button, QEvent::MouseMove, centre, Qt::NoButton, left); }},
        {"hoverout", [&] { sendMouse(button, QEvent::MouseMove, outside, Qt::NoButton, Qt::NoButton); }},
        {"over", [&] { button->setOver(true); }},
        {"notover", [&] { button->setOver(false); }},
        {"disable", [&] { button->setDisabled(true); }},
        {"clear", [&] { button->clearState(); }},
    };
    for (const QString &step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QVERIFY2(steps.contains(step), qPrintable(step));
        steps.value(step)();
    }
}

// Renders only what the widget itself paints, onto a known background.
QImage renderWidget(QWidget *widget, const QColor &background = kBackground)
{
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The smallest rectangle holding every pixel that differs from background.
QRect inkBounds(const QImage &image, const QColor &background = kBackground)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

bool containsColor(const QImage &image, const QColor &color)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == color)
                return true;
        }
    }
    return false;
}

void savePicture(const QImage &image, const QString &name)
{
    // Set ZUVO_TEST_PICTURES to a folder to look at what the tests check.
    const QString folder = qEnvironmentVariable("ZUVO_TEST_PICTURES");
    if (!folder.isEmpty())
        image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QPixmap solidPixmap(const QSize &size, const QColor &color, qreal devicePixelRatio = 1.0)
{
    QPixmap pixmap(size);
    pixmap.fill(color);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

// Counts the paint events a widget receives, to see that a change repaints.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count() const { return _count; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        _count += event->type() == QEvent::Paint;
        return QObject::eventFilter(watched, event);
    }

private:
    int _count = 0;
};

TextButton *boxButton(InformBox *box, const char *name)
{
    return box->findChild<TextButton *>(QLatin1String(name));
}

} // namespace

class TestButtons : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void pointerAndStateSequences_data();
    void pointerAndStateSequences();

    void textButtonSize();
    void textButtonCaptionPosition_data();
    void textButtonCaptionPosition();
    void textButtonHover();

    void imageButtonLogicalSize_data();
    void imageButtonLogicalSize();
    void imageButtonOpacity();

    void changesRepaint_data();
    void changesRepaint();

    void boxSize_data();
    void boxSize();
    void boxLayout_data();
    void boxLayout();
    void boxAnswers_data();
    void boxAnswers();
    void boxClosedByItsCallback();
    void boxPaintsWhite();

    void pressedWithoutPointer_data();
    void pressedWithoutPointer();
};

void TestButtons::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QCOMPARE(ZuvoChatWBConfigure::font().family(), QStringLiteral("Open Sans"));
}

void TestButtons::pointerAndStateSequences_data()
{
    QTest::addColumn<bool>("acceptBoth");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expectedSignals");
    QTest::addColumn<int>("expectedState");
    QTest::addColumn<bool>("expectedTracking");

    QTest::newRow("press and release after entering")
        << false << "enter press release" << "0>1 1>3 3>1 clicked" << 1 << true;
    QTest::newRow("press without an enter first enters")
        << false << "press release" << "0>1 1>3 3>1 clicked" << 1 << true;
    QTest::newRow("release outside does not click")
        << false << "enter press dragout release" << "0>1 1>3 3>2 2>0" << 0 << false;
    QTest::newRow("dragging back in clicks")
        << false << "enter press dragout dragin release" << "0>1 1>3 3>2 2>3 3>1 clicked" << 1 << true;
    QTest::newRow("event position is rounded against the edge")
        << false << "press dragedgeout dragin release" << "0>1 1>3 3>2 2>3 3>1 clicked" << 1 << true;
    QTest::newRow("leave during a press is ignored")
        << false << "enter press leave release" << "0>1 1>3 3>1 clicked" << 1 << true;
    QTest::newRow("right press ignored by default")
        << false << "rpress rrelease" << "" << 0 << false;
    QTest::newRow("right press clicks with accept both")
        << true << "rpress rrelease" << "0>1 1>3 3>1 clicked" << 1 << true;
    QTest::newRow("right press with the left held counts as left")
        << false << "bothpress release" << "0>1 1>3 3>1 clicked" << 1 << true;
    QTest::newRow("second press before the release emits nothing")
        << false << "press bothpress release" << "0>1 1>3 3>1 clicked" << 1 << true;
    QTest::newRow("release without a press emits nothing")
        << false << "enter release" << "0>1" << 1 << true;
    QTest::newRow("hovering in and out")
        << false << "enter leave" << "0>1 1>0" << 0 << false;
    QTest::newRow("tracked move outside clears over")
        << false << "enter hoverout" << "0>1 1>0" << 0 << true;
    QTest::newRow("marked disabled still clicks")
        << false << "disable press release" << "0>4 4>5 5>7 7>5 clicked" << 5 << true;
    QTest::newRow("disabling twice emits once")
        << false << "disable disable" << "0>4" << 4 << false;
    QTest::newRow("setting over to what it is emits nothing")
        << false << "over over notover notover" << "0>1 1>0" << 0 << false;
    QTest::newRow("clearing from zero still emits")
        << false << "clear" << "0>0" << 0 << false;
    QTest::newRow("clearing drops every bit at once")
        << false << "disable over clear" << "0>4 4>5 5>0" << 0 << false;
}

void TestButtons::pointerAndStateSequences()
{
    QFETCH(bool, acceptBoth);
    QFETCH(QString, script);
    QFETCH(QString, expectedSignals);
    QFETCH(int, expectedState);
    QFETCH(bool, expectedTracking);

    Button button(nullptr);
    button.resize(40, 20);
    button.setAcceptBoth(acceptBoth);
    SignalLog log(&button);

    play(&button, script);

    QCOMPARE(log.text(), expectedSignals);
    QCOMPARE(button.getState(), expectedState);
    QCOMPARE(button.hasMouseTracking(), expectedTracking);
    QVERIFY(button.isEnabled()); // the marked state never reaches the toolkit
}

void TestButtons::textButtonSize()
{
    const QFont font = ZuvoChatWBConfigure::font();
    const QFontMetrics metrics(font);
    TextButton button(nullptr, QStringLiteral("Refresh"), font, Qt::black);

    const QSize expected(metrics.horizontalAdvance(QStringLiteral("Refresh")) + ZuvoChatWBConfigure::convertScale(10),
                         metrics.height() + ZuvoChatWBConfigure::convertScale(10));
    QCOMPARE(button.size(), expected);
    QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);

    // A larger hover font must not make the button jump in size.
    QFont large = font;
    large.setPixelSize(font.pixelSize() * 2);
    button.setHoverFont(large);
    button.setOver(true);
    QCOMPARE(button.size(), expected);
}

void TestButtons::textButtonCaptionPosition_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("widthBeyondText");
    QTest::addColumn<int>("expectedX");

    QTest::newRow("built size") << "Cancel" << ZuvoChatWBConfigure::convertScale(10)
                                << ZuvoChatWBConfigure::convertScale(10) / 2;
    QTest::newRow("odd slack rounds toward the left") << "Cancel" << 11 << 5;
    QTest::newRow("caption wider than the button") << "Download History" << -20 << -10;
    QTest::newRow("odd overflow truncates toward zero") << "Download History" << -21 << -10;
}

void TestButtons::textButtonCaptionPosition()
{
    QFETCH(QString, caption);
    QFETCH(int, widthBeyondText);
    QFETCH(int, expectedX);

    const QFont font = ZuvoChatWBConfigure::font();
    const QFontMetrics metrics(font);
    const int textWidth = metrics.horizontalAdvance(caption);
    TextButton button(nullptr, caption, font, Qt::black);
    button.resize(textWidth + widthBeyondText, button.height());
    const int baseline = (button.height() - metrics.height()) / 2 + metrics.ascent();
    const QImage painted = renderWidget(&button);

    // Same rasteriser, same font, whole-pixel origin: the pictures must be
    // identical, including what the button's edges clip away.
    QImage expected(button.size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(kBackground);
    QPainter painter(&expected);
    painter.setFont(font);
    painter.drawText(expectedX, baseline, caption);
    painter.end();
    QCOMPARE(painted, expected);

    if (widthBeyondText >= 0) {
        const QRect ink = inkBounds(painted);
        QVERIFY(QRect(expectedX, baseline - metrics.ascent(), textWidth, metrics.height()).contains(ink));
        QVERIFY(ink.left() - expectedX <= 2);
        // "Cancel" has no descender; round letters may overshoot the baseline by a pixel.
        QVERIFY(ink.bottom() == baseline - 1 || ink.bottom() == baseline);
    }
}

void TestButtons::textButtonHover()
{
    const QFont font = ZuvoChatWBConfigure::font();
    TextButton button(nullptr, QStringLiteral("Refresh"), font, Qt::black);
    button.setHoverColor(Qt::red);

    const QImage normal = renderWidget(&button);
    button.setOver(true);
    const QImage hovered = renderWidget(&button);
    savePicture(normal, QStringLiteral("textbutton-normal"));
    savePicture(hovered, QStringLiteral("textbutton-hovered"));

    QVERIFY(!inkBounds(normal).isEmpty());
    QCOMPARE(inkBounds(hovered), inkBounds(normal).translated(0, 1));
    QVERIFY(containsColor(normal, Qt::black) && !containsColor(normal, Qt::red));
    QVERIFY(containsColor(hovered, Qt::red) && !containsColor(hovered, Qt::black));

    // The hover font is drawn, but from the normal font's baseline.
    QFont heavy = font;
    heavy.setWeight(QFont::Black);
    button.setHoverFont(heavy);
    const QImage heavyHovered = renderWidget(&button);
    QVERIFY(heavyHovered != hovered);
    QCOMPARE(inkBounds(heavyHovered).bottom(), inkBounds(hovered).bottom());

    // Neither the marked nor the pressed state changes the picture.
    button.setOver(false);
    button.setDisabled(true);
    QCOMPARE(renderWidget(&button), normal);
}

void TestButtons::imageButtonLogicalSize_data()
{
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QSize>("expectedSize");

    QTest::newRow("plain image") << QSize(16, 12) << 1.0 << QSize(16, 12);
    QTest::newRow("double image") << QSize(32, 32) << 2.0 << QSize(16, 16);
    QTest::newRow("odd double image rounds halves up") << QSize(33, 17) << 2.0 << QSize(17, 9);
    QTest::newRow("one and a half") << QSize(30, 16) << 1.5 << QSize(20, 11);
}

void TestButtons::imageButtonLogicalSize()
{
    QFETCH(QSize, pixels);
    QFETCH(qreal, ratio);
    QFETCH(QSize, expectedSize);

    const QPixmap image = solidPixmap(pixels, Qt::red, ratio);
    ImageButton button(nullptr, &image);
    QCOMPARE(button.size(), expectedSize);
    QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);

    button.setImage(solidPixmap(QSize(10, 4), Qt::blue));
    QCOMPARE(button.size(), QSize(10, 4));

    // A null image pointer leaves a plain, empty button rather than a crash.
    ImageButton empty(nullptr, nullptr);
    QCOMPARE(empty.size(), ImageButton(nullptr).size());
    QCOMPARE(inkBounds(renderWidget(&empty)), QRect());
}

void TestButtons::imageButtonOpacity()
{
    const QPixmap image = solidPixmap(QSize(32, 32), QColor(255, 0, 0), 2.0);
    ImageButton button(nullptr, &image);

    const QImage opaque = renderWidget(&button, Qt::blue);
    QCOMPARE(opaque.pixelColor(0, 0), QColor(255, 0, 0));
    QCOMPARE(opaque.pixelColor(15, 15), QColor(255, 0, 0));

    button.setOpacity(0.5);
    const QImage half = renderWidget(&button, Qt::blue);
    for (const QPoint &point : {QPoint(0, 0), QPoint(8, 8), QPoint(15, 15)}) {
        const QColor blended = half.pixelColor(point);
        QVERIFY2(qAbs(blended.red() - 128) <= 2 && blended.green() == 0 && qAbs(blended.blue() - 128) <= 2,
                 qPrintable(blended.name()));
    }
}

void TestButtons::changesRepaint_data()
{
    QTest::addColumn<QString>("change");

    QTest::newRow("text button hovered") << "hover";
    QTest::newRow("image opacity") << "opacity";
    QTest::newRow("image of the same size") << "image";
}

void TestButtons::changesRepaint()
{
    QFETCH(QString, change);

    QWidget host;
    host.resize(200, 100);
    TextButton text(&host, QStringLiteral("Share"), ZuvoChatWBConfigure::font(), Qt::black);
    const QPixmap red = solidPixmap(QSize(16, 16), Qt::red);
    ImageButton image(&host, &red);
    image.move(100, 0);
    PaintCounter paints(change == QLatin1String("hover") ? static_cast<QWidget *>(&text) : &image);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    // Not hovered to begin with, wherever the platform starts the pointer.
    text.setOver(false);
    QTRY_VERIFY(paints.count() > 0);
    QCoreApplication::processEvents();
    const int before = paints.count();

    if (change == QLatin1String("hover"))
        text.setOver(true);
    else if (change == QLatin1String("opacity"))
        image.setOpacity(0.5);
    else
        image.setImage(solidPixmap(QSize(16, 16), Qt::green));

    QTRY_VERIFY(paints.count() > before);
}

void TestButtons::boxSize_data()
{
    QTest::addColumn<QSize>("parentSize"); // invalid: no parent
    QTest::addColumn<QSize>("expectedSize");

    const QSize configured = ZuvoChatWBConfigure::InfoBoxSize();
    QTest::newRow("no parent") << QSize() << configured;
    QTest::newRow("roomy parent") << QSize(800, 600) << configured;
    QTest::newRow("narrow parent") << QSize(200, 600) << QSize(200, configured.height());
    QTest::newRow("low parent") << QSize(800, 60) << QSize(configured.width(), 60);
    QTest::newRow("parent smaller both ways") << QSize(120, 50) << QSize(120, 50);
}

void TestButtons::boxSize()
{
    QFETCH(QSize, parentSize);
    QFETCH(QSize, expectedSize);

    QWidget parent;
    parent.resize(parentSize);
    InformBox box(parentSize.isValid() ? &parent : nullptr, QStringLiteral("Hello"), QStringLiteral("Ok"), {},
                  QStringLiteral("Cancel"), {});
    QCOMPARE(box.size(), expectedSize);
}

void TestButtons::boxLayout_data()
{
    QTest::addColumn<QString>("cancelText");

    QTest::newRow("two answers") << "Cancel";
    QTest::newRow("empty cancel caption") << "";
}

void TestButtons::boxLayout()
{
    QFETCH(QString, cancelText);

    QWidget parent;
    parent.resize(800, 600);
    InformBox box(&parent, QStringLiteral("Delete this download record?"), QStringLiteral("Delete"), {},
                  cancelText, {});
    parent.show();
    const TextButton *confirm = boxButton(&box, "confirmButton");
    const TextButton *cancel = boxButton(&box, "cancelButton");
    const QLabel *label = box.findChild<QLabel *>(QStringLiteral("information"));
    QVERIFY(confirm && cancel && label);

    // The default margins, at whatever scale the display has.
    const auto checkCorner = [&] {
        QCOMPARE(box.width() - confirm->geometry().right() - 1, ZuvoChatWBConfigure::convertScale(22));
        QCOMPARE(box.height() - confirm->geometry().bottom() - 1, ZuvoChatWBConfigure::convertScale(16));
    };
    checkCorner();
    QCOMPARE(label->pos(), QPoint(ZuvoChatWBConfigure::convertScale(20), ZuvoChatWBConfigure::convertScale(20)));
    QCOMPARE(label->size(), label->sizeHint());

    QCOMPARE(cancel->isVisible(), !cancelText.isEmpty());
    QCOMPARE(cancel->geometry().right() + 1, confirm->x());
    QCOMPARE(cancel->y(), confirm->y());

    // Resized later, the box lays itself out again.
    box.resize(250, 80);
    checkCorner();
}

void TestButtons::boxAnswers_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<bool>("withCallbacks");
    QTest::addColumn<QString>("expectedCalls");

    QTest::newRow("confirm") << "confirmButton" << true << "confirm";
    QTest::newRow("cancel") << "cancelButton" << true << "cancel";
    QTest::newRow("confirm without a callback") << "confirmButton" << false << "";
    QTest::newRow("cancel without a callback") << "cancelButton" << false << "";
}

void TestButtons::boxAnswers()
{
    QFETCH(QString, clicked);
    QFETCH(bool, withCallbacks);
    QFETCH(QString, expectedCalls);

    QWidget parent;
    parent.resize(800, 600);
    QStringList calls;
    QList<QWidget *> handedIn;
    const auto recorder = [&](const QString &name) -> InformBox::Action {
        if (!withCallbacks)
            return {};
        return [&calls, &handedIn, name](QWidget *box) { calls << name; handedIn << box; };
    };
    QPointer<InformBox> box = new InformBox(&parent, QStringLiteral("Clean all download record?"),
                                            QStringLiteral("Clean"), recorder(QStringLiteral("confirm")),
                                            QStringLiteral("Cancel"), recorder(QStringLiteral("cancel")));
    parent.show();
    QSignalSpy closedSpy(box.data(), &InformBox::closed);

    TextButton *button = box->findChild<TextButton *>(clicked);
    QSignalSpy clickedSpy(button, &Button::clicked);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());

    QCOMPARE(clickedSpy.count(), 1);
    QCOMPARE(calls.join(QLatin1Char(',')), expectedCalls);
    QCOMPARE(handedIn, expectedCalls.isEmpty() ? QList<QWidget *>() : QList<QWidget *>{box.data()});
    // Closing is left to the creator.
    QCoreApplication::processEvents();
    QVERIFY(!box.isNull() && box->isVisible());
    QCOMPARE(closedSpy.count(), 0);
}

void TestButtons::boxClosedByItsCallback()
{
    // The way the content widget answers: hide the box and delete it later,
    // from inside the click that is still being delivered to its button.
    QWidget parent;
    parent.resize(800, 600);
    const auto close = [](QWidget *box) {
        box->hide();
        box->deleteLater();
    };
    QPointer<InformBox> box = new InformBox(&parent, QStringLiteral("Delete?"), QStringLiteral("Delete"), close,
                                            QStringLiteral("Cancel"), close);
    parent.show();

    TextButton *confirm = boxButton(box, "confirmButton");
    QTest::mouseClick(confirm, Qt::LeftButton, {}, confirm->rect().center());
    QVERIFY(!box.isNull() && box->isHidden());
    QTRY_VERIFY(box.isNull());
}

void TestButtons::boxPaintsWhite()
{
    QWidget parent;
    parent.resize(800, 600);
    InformBox box(&parent, QStringLiteral("Delete this download record?"), QStringLiteral("Delete"), {},
                  QStringLiteral("Cancel"), {});
    parent.show();

    // On red, so that anything left unpainted shows.
    const QImage painted = renderWidget(&box, Qt::red);
    savePicture(painted, QStringLiteral("informbox"));
    QVERIFY(!containsColor(painted, Qt::red));
    QCOMPARE(painted.pixelColor(box.width() - 1, box.height() - 1), QColor(Qt::white));

    // Both captions are drawn in black inside their buttons.
    for (const char *name : {"confirmButton", "cancelButton"}) {
        const QImage caption = painted.copy(boxButton(&box, name)->geometry());
        QVERIFY2(containsColor(caption, Qt::black), name);
    }
}


void TestButtons::pressedWithoutPointer_data()
{
    QTest::addColumn<int>("key"); // 0: the accessible press action instead
    QTest::addColumn<int>("clicks");
    QTest::newRow("Space") << int(Qt::Key_Space) << 1;
    QTest::newRow("Return") << int(Qt::Key_Return) << 1;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 1;
    QTest::newRow("press action") << 0 << 1;
    QTest::newRow("a letter") << int(Qt::Key_A) << 0;
    QTest::newRow("Escape, the window's") << int(Qt::Key_Escape) << 0;
}

// A press from the keyboard or from an assistive technology is a click with
// no modifiers, as the owner of a title-bar button cannot tell them apart.
void TestButtons::pressedWithoutPointer()
{
    QFETCH(int, key);
    QFETCH(int, clicks);
    QWidget holder;
    TextButton button(&holder, QStringLiteral("Reload"), ZuvoChatWBConfigure::font(), Qt::black);
    QSignalSpy clicked(&button, &Button::clicked);

    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&button);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Button);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Reload"));
    QVERIFY(accessible->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));

    if (key == 0) {
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        // Queued, so that the bus has its answer first.
        QCOMPARE(clicked.size(), 0);
        QTRY_COMPARE(clicked.size(), clicks);
        return;
    }
    QTest::keyClick(&button, Qt::Key(key));
    QCOMPARE(clicked.size(), clicks);
}

QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"
