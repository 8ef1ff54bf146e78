#include "filetypeicons.h"

#include "artcanvas.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

enum class Motif { TextLines, Table, Chart, Zipper, Play, Photo, Note, Blank, Folder };

struct KindStyle {
    const char *kind;
    QRgb colour;
    const char *label;
    Motif motif;
};

// One hue per kind, spread round the colour wheel so that neighbouring rows
// of the download list stay apart even where the shapes are alike.
const KindStyle kindStyles[] = {
    {"rar", 0x8457E0, "ZIP", Motif::Zipper},
    {"xls", 0x1E9E57, "XLS", Motif::Table},
    {"video", 0xE0457F, "", Motif::Play},
    {"picture", 0x1C9BE0, "", Motif::Photo},
    {"word", 0x2B62DE, "DOC", Motif::TextLines},
    {"folder", 0xF2B53A, "", Motif::Folder},
    {"music", 0x12A59A, "", Motif::Note},
    {"other", 0x97A1AE, "", Motif::Blank},
    {"docu", 0x6F7F98, "TXT", Motif::TextLines},
    {"pdf", 0xE5463B, "PDF", Motif::TextLines},
    {"ppt", 0xF26B21, "PPT", Motif::Chart},
};

// Gray icons mark files that are gone: the same picture, washed out.
constexpr qreal grayLightening = 0.28;

const QRectF sheetRect(10, 4, 30, 40);
constexpr qreal foldSize = 10;
constexpr qreal sheetCorner = 3;
const QColor sheetBorder(0xD3, 0xD8, 0xE0);
const QRectF badgeRect(6, 28, 26, 12);
const QRectF mediaTile(15, 18, 20, 20);

QColor mixed(const QColor &colour, const QColor &other, qreal otherShare)
{
    const qreal own = 1.0 - otherShare;
    return QColor::fromRgbF(colour.redF() * own + other.redF() * otherShare,
                            colour.greenF() * own + other.greenF() * otherShare,
                            colour.blueF() * own + other.blueF() * otherShare);
}

QColor tint(const QColor &colour, qreal whiteShare)
{
    return mixed(colour, Qt::white, whiteShare);
}

// A page with its top-right corner cut off at 45 degrees for the fold.
QPainterPath sheetOutline(const QRectF &rect, qreal fold, qreal corner)
{
    const qreal d = 2 * corner;
    QPainterPath path;
    path.moveTo(rect.left() + corner, rect.top());
    path.lineTo(rect.right() - fold, rect.top());
    path.lineTo(rect.right(), rect.top() + fold);
    path.lineTo(rect.right(), rect.bottom() - corner);
    path.arcTo(QRectF(rect.right() - d, rect.bottom() - d, d, d), 0, -90);
    path.lineTo(rect.left() + corner, rect.bottom());
    path.arcTo(QRectF(rect.left(), rect.bottom() - d, d, d), 270, -90);
    path.lineTo(rect.left(), rect.top() + corner);
    path.arcTo(QRectF(rect.left(), rect.top(), d, d), 180, -90);
    path.closeSubpath();
    return path;
}

void drawSheet(QPainter &painter, const QColor &colour)
{
    const QPainterPath outer = sheetOutline(sheetRect, foldSize, sheetCorner);
    // Moving every edge in by one unit shortens a 45-degree cut by 2 - sqrt(2).
    const QPainterPath inner = sheetOutline(sheetRect.adjusted(1, 1, -1, -1),
                                            foldSize - (2 - std::sqrt(2.0)), sheetCorner - 1);
    painter.fillPath(outer.translated(0, 1), QColor(20, 32, 56, 22));
    painter.fillPath(outer, sheetBorder);
    painter.fillPath(inner, Qt::white);

    const qreal foldLeft = sheetRect.right() - foldSize;
    const qreal foldBottom = sheetRect.top() + foldSize;
    QPainterPath flap;
    flap.moveTo(foldLeft, sheetRect.top());
    flap.lineTo(foldLeft, foldBottom - 2);
    flap.quadTo(foldLeft, foldBottom, foldLeft + 2, foldBottom);
    flap.lineTo(sheetRect.right(), foldBottom);
    flap.closeSubpath();
    painter.fillPath(flap, sheetBorder);
    painter.fillPath(flap.translated(0.6, -0.6).intersected(flap), tint(colour, 0.72));
}

void drawBadge(QPainter &painter, const QColor &colour, const QString &label)
{
    QPainterPath badge;
    badge.addRoundedRect(badgeRect, 2, 2);
    painter.fillPath(badge.translated(0, 1), QColor(20, 32, 56, 30));
    painter.fillPath(badge, colour);
    painter.fillPath(centredLabel(label, 9, badgeRect.center()), Qt::white);
}

void drawTextLines(QPainter &painter, const QColor &colour)
{
    const QColor ink = tint(colour, 0.62);
    painter.fillRect(QRectF(14, 10, 13, 2), ink);
    painter.fillRect(QRectF(14, 14, 22, 2), ink);
    painter.fillRect(QRectF(14, 18, 22, 2), ink);
    painter.fillRect(QRectF(14, 22, 16, 2), ink);
}

void drawBlankLines(QPainter &painter, const QColor &colour)
{
    const QColor ink = tint(colour, 0.6);
    painter.fillRect(QRectF(14, 10, 13, 2), ink);
    for (int row = 0; row < 6; ++row)
        painter.fillRect(QRectF(14, 14 + 4 * row, row == 5 ? 14 : 22, 2), ink);
}

void drawTable(QPainter &painter, const QColor &colour)
{
    const QRectF table(14, 16, 22, 10);
    painter.fillRect(QRectF(table.left(), table.top(), table.width(), 3), tint(colour, 0.55));
    const QColor rule = tint(colour, 0.45);
    for (qreal y : {16.0, 19.0, 22.0, 25.0})
        painter.fillRect(QRectF(table.left(), y, table.width(), 1), rule);
    for (qreal x : {14.0, 21.0, 28.0, 35.0})
        painter.fillRect(QRectF(x, table.top(), 1, table.height()), rule);
}

void drawChart(QPainter &painter, const QColor &colour)
{
    const QRectF pie(14, 11, 13, 13);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tint(colour, 0.6));
    painter.drawEllipse(pie);
    painter.setBrush(colour);
    // The first quarter is lifted out of the pie, as in a slide's chart.
    painter.drawPie(pie.translated(1, -1), 0, 90 * 16);
    const QColor ink = tint(colour, 0.62);
    painter.fillRect(QRectF(29, 17, 7, 2), ink);
    painter.fillRect(QRectF(29, 21, 5, 2), ink);
}

void drawZipper(QPainter &painter, const QColor &colour)
{
    const QColor teeth = tint(colour, 0.35);
    for (int i = 0; i < 10; ++i)
        painter.fillRect(QRectF(i % 2 ? 21 : 18, 4 + 2 * i, 3, 2), teeth);
    QPainterPath pull;
    pull.addRoundedRect(QRectF(17.5, 22, 7, 5), 1.5, 1.5);
    painter.fillPath(pull, teeth);
    painter.fillRect(QRectF(19.5, 23.5, 3, 2), Qt::white);
}

void fillMediaTile(QPainter &painter, const QColor &colour)
{
    QPainterPath tile;
    tile.addRoundedRect(mediaTile, 4, 4);
    painter.fillPath(tile.translated(0, 1), QColor(20, 32, 56, 30));
    painter.fillPath(tile, colour);
}

void drawPlay(QPainter &painter, const QColor &colour)
{
    fillMediaTile(painter, colour);
    QPainterPath triangle;
    triangle.moveTo(22, 23);
    triangle.lineTo(22, 33);
    triangle.lineTo(30.5, 28);
    triangle.closeSubpath();
    painter.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::white);
    painter.drawPath(triangle);
}

void drawPhoto(QPainter &painter, const QColor &colour)
{
    fillMediaTile(painter, colour);
    QPainterPath tile;
    tile.addRoundedRect(mediaTile, 4, 4);
    painter.save();
    painter.setClipPath(tile);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0xD9, 0x5A));
    painter.drawEllipse(QPointF(29.5, 23.5), 2.5, 2.5);
    QPainterPath far;
    far.moveTo(23, 39);
    far.lineTo(29.5, 29);
    far.lineTo(36, 39);
    far.closeSubpath();
    painter.fillPath(far, tint(colour, 0.45));
    QPainterPath near;
    near.moveTo(13, 39);
    near.lineTo(21.5, 26);
    near.lineTo(31, 39);
    near.closeSubpath();
    painter.fillPath(near, Qt::white);
    painter.restore();
}

void drawNote(QPainter &painter, const QColor &colour)
{
    fillMediaTile(painter, colour);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    // Two beamed eighth notes; the heads lean like handwritten ones.
    for (const QPointF &head : {QPointF(21.2, 32.2), QPointF(28.7, 30.7)}) {
        painter.save();
        painter.translate(head);
        painter.rotate(-22);
        painter.drawEllipse(QPointF(0, 0), 2.7, 2.0);
        painter.restore();
    }
    painter.fillRect(QRectF(22.6, 23.5, 1.4, 9), Qt::white);
    painter.fillRect(QRectF(30.1, 22.0, 1.4, 9), Qt::white);
    QPainterPath beam;
    beam.moveTo(22.6, 23.5);
    beam.lineTo(31.5, 21.5);
    beam.lineTo(31.5, 24.3);
    beam.lineTo(22.6, 26.3);
    beam.closeSubpath();
    painter.fillPath(beam, Qt::white);
}

void drawFolder(QPainter &painter, const QColor &colour)
{
    QPainterPath back;
    back.moveTo(5, 11);
    back.quadTo(5, 9, 7, 9);
    back.lineTo(17.5, 9);
    back.quadTo(19, 9, 20, 10.2);
    back.lineTo(22.2, 13);
    back.lineTo(41, 13);
    back.quadTo(43, 13, 43, 15);
    back.lineTo(43, 39);
    back.quadTo(43, 41, 41, 41);
    back.lineTo(7, 41);
    back.quadTo(5, 41, 5, 39);
    back.closeSubpath();
    painter.fillPath(back.translated(0, 1), QColor(20, 32, 56, 26));
    painter.fillPath(back, mixed(colour, QColor(0xB8, 0x6E, 0x00), 0.35));

    painter.fillRect(QRectF(8, 15, 32, 10), QColor(0xF4, 0xF6, 0xF9));
    painter.fillRect(QRectF(8, 15, 32, 1), QColor(0xE2, 0xE6, 0xEC));

    QPainterPath front;
    front.addRoundedRect(QRectF(5, 18, 38, 23), 2.5, 2.5);
    QLinearGradient light(0, 18, 0, 41);
    light.setColorAt(0, tint(colour, 0.18));
    light.setColorAt(1, colour);
    painter.fillPath(front, light);
    painter.fillRect(QRectF(5.5, 18, 37, 1), tint(colour, 0.45));
}

void drawKind(QPainter &painter, const KindStyle &style)
{
    const QColor colour(style.colour);
    if (style.motif == Motif::Folder) {
        drawFolder(painter, colour);
        return;
    }
    drawSheet(painter, colour);
    switch (style.motif) {
    case Motif::TextLines: drawTextLines(painter, colour); break;
    case Motif::Table: drawTable(painter, colour); break;
    case Motif::Chart: drawChart(painter, colour); break;
    case Motif::Zipper: drawZipper(painter, colour); break;
    case Motif::Play: drawPlay(painter, colour); break;
    case Motif::Photo: drawPhoto(painter, colour); break;
    case Motif::Note: drawNote(painter, colour); break;
    case Motif::Blank: drawBlankLines(painter, colour); break;
    case Motif::Folder: break;
    }
    if (*style.label)
        drawBadge(painter, colour, QString::fromLatin1(style.label));
}

const KindStyle *findStyle(const QString &kind)
{
    for (const KindStyle &style : kindStyles) {
        if (kind == QLatin1String(style.kind))
            return &style;
    }
    return nullptr;
}

} // namespace

QStringList fileTypeKinds()
{
    QStringList kinds;
    for (const KindStyle &style : kindStyles)
        kinds << QString::fromLatin1(style.kind);
    return kinds;
}

QImage renderFileTypeIcon(const QString &kind, int scale, IconTone tone)
{
    QImage image = transparentCanvas(QSize(fileTypeIconSize, fileTypeIconSize) * scale);
    const KindStyle *style = findStyle(kind);
    if (!style)
        return image;
    {
        QPainter painter(&image);
        prepareVectorPainter(painter, scale);
        drawKind(painter, *style);
    }
    return tone == IconTone::Gray ? desaturated(image, grayLightening) : image;
}
