#include "emptypanel.h"

#include "artcanvas.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor backdrop(0xF2, 0xF4, 0xF8);
const QColor trayBack(0xE9, 0xEC, 0xF2);
const QColor trayRim(0xC9, 0xD0, 0xDB);
const QColor trayFrontTop(0xDF, 0xE4, 0xEB);
const QColor trayFrontBottom(0xD3, 0xD9, 0xE2);
const QColor speck(0xD8, 0xDE, 0xE7);
const QColor accent(0x3D, 0x7B, 0xF5);

void drawBackdrop(QPainter &painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(backdrop);
    painter.drawEllipse(QPointF(107, 110), 90, 90);
    painter.setBrush(QColor(0xE6, 0xE9, 0xEF));
    painter.drawEllipse(QPointF(107, 171), 62, 6);
}

void drawSpecks(QPainter &painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(speck);
    painter.drawEllipse(QPointF(46, 74), 4.5, 4.5);
    painter.drawEllipse(QPointF(170, 58), 3, 3);
    painter.drawEllipse(QPointF(62, 40), 2.5, 2.5);
    painter.setPen(QPen(speck, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(163, 92), QPointF(163, 104));
    painter.drawLine(QPointF(157, 98), QPointF(169, 98));
}

// The tray seen slightly from above: a back wall, sloping sides and a front
// face whose top edge dips in the middle where things are dropped in.
QPainterPath trayShell()
{
    QPainterPath shell;
    shell.moveTo(70, 96);
    shell.lineTo(144, 96);
    shell.quadTo(150, 96, 152.5, 101.5);
    shell.lineTo(168, 134);
    shell.lineTo(168, 156);
    shell.quadTo(168, 166, 158, 166);
    shell.lineTo(56, 166);
    shell.quadTo(46, 166, 46, 156);
    shell.lineTo(46, 134);
    shell.lineTo(61.5, 101.5);
    shell.quadTo(64, 96, 70, 96);
    shell.closeSubpath();
    return shell;
}

QPainterPath trayFront()
{
    QPainterPath front;
    front.moveTo(46, 134);
    front.lineTo(82, 134);
    front.quadTo(86, 134, 88, 138);
    front.lineTo(90, 142);
    front.quadTo(92, 146, 96, 146);
    front.lineTo(118, 146);
    front.quadTo(122, 146, 124, 142);
    front.lineTo(126, 138);
    front.quadTo(128, 134, 132, 134);
    front.lineTo(168, 134);
    front.lineTo(168, 156);
    front.quadTo(168, 166, 158, 166);
    front.lineTo(56, 166);
    front.quadTo(46, 166, 46, 156);
    front.closeSubpath();
    return front;
}

void drawDownArrow(QPainter &painter)
{
    QPainterPath shaft;
    shaft.addRoundedRect(QRectF(98, 36, 18, 58), 4, 4);
    painter.fillPath(shaft, accent);
    QPainterPath head;
    head.moveTo(80, 86);
    head.quadTo(77, 86, 79.2, 88.4);
    head.lineTo(104, 114);
    head.quadTo(107, 117, 110, 114);
    head.lineTo(134.8, 88.4);
    head.quadTo(137, 86, 134, 86);
    head.closeSubpath();
    painter.fillPath(head, accent);
}

void drawTray(QPainter &painter)
{
    painter.setPen(QPen(trayRim, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(trayBack);
    painter.drawPath(trayShell());

    drawDownArrow(painter);

    const QPainterPath front = trayFront();
    QLinearGradient shade(0, 134, 0, 166);
    shade.setColorAt(0, trayFrontTop);
    shade.setColorAt(1, trayFrontBottom);
    painter.setBrush(shade);
    painter.drawPath(front);
}

} // namespace

QImage renderEmptyPanel(int scale)
{
    QImage image = transparentCanvas(QSize(emptyPanelSize, emptyPanelSize) * scale);
    QPainter painter(&image);
    prepareVectorPainter(painter, scale);
    drawBackdrop(painter);
    drawSpecks(painter);
    drawTray(painter);
    return image;
}
