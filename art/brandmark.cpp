#include "brandmark.h"

#include "artcanvas.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// The mark is designed on a 20-unit grid, the size of the channel logo, so
// that its smallest rendering keeps whole-pixel edges.
constexpr qreal markGrid = 20;
const QColor brandLight(0x4D, 0x8B, 0xFF);
const QColor brandDeep(0x2F, 0x4F, 0xE0);

QPainterPath tileOutline()
{
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0, 0, markGrid, markGrid), 4.6, 4.6);
    return tile;
}

// Body and tail are filled one after the other: uniting them would flatten
// the rounded corners into polygons that show on the 512-pixel icon.
QPainterPath bubbleBody()
{
    QPainterPath body;
    body.addRoundedRect(QRectF(3.5, 3.5, 13, 10.5), 3.6, 3.6);
    return body;
}

QPainterPath bubbleTail()
{
    QPainterPath tail;
    tail.moveTo(5.6, 12.5);
    tail.lineTo(4.6, 16.8);
    tail.quadTo(4.5, 17.3, 5.0, 17.0);
    tail.lineTo(10.0, 13.6);
    tail.closeSubpath();
    return tail;
}

QPainterPath letterZ()
{
    // Bars 1.6 units thick joined by a diagonal 2.3 units wide along the
    // horizontal, which looks as heavy as the bars.
    QPainterPath z;
    z.moveTo(7.0, 5.8);
    z.lineTo(13.0, 5.8);
    z.lineTo(13.0, 7.4);
    z.lineTo(9.3, 10.4);
    z.lineTo(13.0, 10.4);
    z.lineTo(13.0, 12.0);
    z.lineTo(7.0, 12.0);
    z.lineTo(7.0, 10.4);
    z.lineTo(10.7, 7.4);
    z.lineTo(7.0, 7.4);
    z.closeSubpath();
    return z;
}

QLinearGradient brandGradient()
{
    QLinearGradient gradient(0, 0, markGrid, markGrid);
    gradient.setColorAt(0, brandLight);
    gradient.setColorAt(1, brandDeep);
    return gradient;
}

// Draws the mark filling the square (0, 0)-(20, 20) of the painter's units.
void drawMark(QPainter &painter)
{
    painter.fillPath(tileOutline(), brandGradient());
    painter.fillPath(bubbleBody(), Qt::white);
    painter.fillPath(bubbleTail(), Qt::white);
    painter.fillPath(letterZ(), brandGradient());
}

} // namespace

QImage renderChannelLogo(int scale)
{
    QImage image = transparentCanvas(QSize(channelLogoSize, channelLogoSize) * scale);
    QPainter painter(&image);
    prepareVectorPainter(painter, scale);
    drawMark(painter);
    return image;
}

QImage renderWindowIcon(int scale)
{
    QImage image = transparentCanvas(QSize(windowIconSize, windowIconSize) * scale);
    QPainter painter(&image);
    prepareVectorPainter(painter, scale);

    // Desktop icons get a margin; the shadow below the tile lives in it.
    constexpr qreal margin = 16;
    constexpr qreal markSide = windowIconSize - 2 * margin;
    const qreal unit = markSide / markGrid;
    for (int ring = 8; ring >= 1; --ring) {
        QPainterPath shadow;
        const qreal grow = ring * 1.0;
        shadow.addRoundedRect(QRectF(margin - grow, margin + 4 - grow + ring * 0.6,
                                     markSide + 2 * grow, markSide + 2 * grow),
                              4.6 * unit + grow, 4.6 * unit + grow);
        painter.fillPath(shadow, QColor(16, 28, 64, 5));
    }
    painter.translate(margin, margin);
    painter.scale(unit, unit);
    drawMark(painter);
    return image;
}
