#ifndef ZUVO_ART_ARTCANVAS_H
#define ZUVO_ART_ARTCANVAS_H

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <QString>

class QPainter;

// A fully transparent ARGB image of the given pixel size.
QImage transparentCanvas(const QSize &size);

// Prepares a painter for vector drawing in a design grid: antialiasing on and
// every coordinate multiplied by `scale`, so the @2x files are drawn at twice
// the resolution instead of being enlarged afterwards.
void prepareVectorPainter(QPainter &painter, qreal scale);

// The same picture in gray: luminance only, pulled `lightening` (0..1) of the
// way towards white, alpha untouched.
QImage desaturated(const QImage &image, qreal lightening);

// Registers the fonts under `fontDir` with the font database. Returns false
// (after saying which) if any of them fails to load.
bool registerBundledFonts(const QString &fontDir);

// Outline of `text` in Open Sans Bold at `pixelSize` design units, its ink
// box centred on `centre`, its bottom edge moved to the nearest whole unit so
// that 1x labels of capitals keep a crisp baseline.
QPainterPath centredLabel(const QString &text, qreal pixelSize, const QPointF &centre);

// Writes `image` as PNG after checking that it has exactly `expected` pixels.
bool savePng(const QImage &image, const QSize &expected, const QString &path);

#endif
