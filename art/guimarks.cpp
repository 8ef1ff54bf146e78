#include "guimarks.h"

#include "artcanvas.h"

#include <QPainter>

namespace {

// Dark enough for the default light-gray title bar, soft enough not to
// outweigh the page title beside it.
const QColor glyphColour(0x44, 0x44, 0x44);

struct GlyphGeometry {
    QRect box;   // the square every glyph fills
    int stroke;  // line thickness in pixels
    int offset;  // how far the back window of "restore" sits up and right
};

GlyphGeometry glyphGeometry(int scale)
{
    const QSize canvas = windowButtonSize(scale);
    const int side = 9 * scale;
    return {QRect((canvas.width() - side) / 2, (canvas.height() - side) / 2, side, side), scale,
            2 * scale};
}

// A hollow square drawn as four filled bars so no edge falls between pixels.
void outlineSquare(QPainter &painter, const QRect &square, int stroke)
{
    painter.fillRect(QRect(square.left(), square.top(), square.width(), stroke), glyphColour);
    painter.fillRect(QRect(square.left(), square.bottom() - stroke + 1, square.width(), stroke),
                     glyphColour);
    painter.fillRect(QRect(square.left(), square.top(), stroke, square.height()), glyphColour);
    painter.fillRect(QRect(square.right() - stroke + 1, square.top(), stroke, square.height()),
                     glyphColour);
}

void drawMinimize(QPainter &painter, const GlyphGeometry &g)
{
    const int y = g.box.top() + (g.box.height() - g.stroke) / 2;
    painter.fillRect(QRect(g.box.left(), y, g.box.width(), g.stroke), glyphColour);
}

void drawMaximize(QPainter &painter, const GlyphGeometry &g)
{
    outlineSquare(painter, g.box, g.stroke);
}

void drawRestore(QPainter &painter, const GlyphGeometry &g)
{
    const QRect front = g.box.adjusted(0, g.offset, -g.offset, 0);
    const QRect back = front.translated(g.offset, -g.offset);
    outlineSquare(painter, front, g.stroke);
    // Only the part of the back window that the front one does not cover.
    painter.fillRect(QRect(back.left(), back.top(), back.width(), g.stroke), glyphColour);
    painter.fillRect(QRect(back.right() - g.stroke + 1, back.top(), g.stroke, back.height()),
                     glyphColour);
    painter.fillRect(QRect(back.left(), back.top(), g.stroke, front.top() - back.top()),
                     glyphColour);
    painter.fillRect(QRect(front.right() + 1, back.bottom() - g.stroke + 1,
                           back.right() - front.right(), g.stroke),
                     glyphColour);
}

void drawClose(QPainter &painter, const GlyphGeometry &g)
{
    // Diagonals cannot be pixel-aligned; running them through the centres of
    // the corner pixels keeps the ends as sharp as the square glyphs.
    painter.setRenderHint(QPainter::Antialiasing);
    // A touch heavier than the bars: antialiased diagonals look thinner.
    painter.setPen(QPen(glyphColour, g.stroke + 0.4, Qt::SolidLine, Qt::FlatCap));
    const QRectF centres = QRectF(g.box).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.drawLine(centres.topLeft(), centres.bottomRight());
    painter.drawLine(centres.topRight(), centres.bottomLeft());
}

} // namespace

QSize windowButtonSize(int scale)
{
    return scale == 1 ? QSize(23, 19) : QSize(47, 38);
}

QImage renderWindowButton(WindowButton button, int scale)
{
    QImage image = transparentCanvas(windowButtonSize(scale));
    QPainter painter(&image);
    const GlyphGeometry geometry = glyphGeometry(scale);
    switch (button) {
    case WindowButton::Minimize: drawMinimize(painter, geometry); break;
    case WindowButton::Maximize: drawMaximize(painter, geometry); break;
    case WindowButton::Restore: drawRestore(painter, geometry); break;
    case WindowButton::Close: drawClose(painter, geometry); break;
    }
    return image;
}

QImage renderDeleteMark(int scale)
{
    QImage image = transparentCanvas(QSize(deleteMarkSize, deleteMarkSize) * scale);
    QPainter painter(&image);
    prepareVectorPainter(painter, scale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xB4, 0xBA, 0xC3));
    painter.drawEllipse(QRectF(0.5, 0.5, 11, 11));
    painter.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4.2, 4.2), QPointF(7.8, 7.8));
    painter.drawLine(QPointF(7.8, 4.2), QPointF(4.2, 7.8));
    return image;
}
