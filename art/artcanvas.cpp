#include "artcanvas.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPainter>
#include <QTextStream>
#include <QTransform>

#include <cmath>

QImage transparentCanvas(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void prepareVectorPainter(QPainter &painter, qreal scale)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
}

QImage desaturated(const QImage &image, qreal lightening)
{
    // Work unpremultiplied so that the edge pixels get the same gray as the
    // solid ones instead of a darker one.
    QImage gray = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < gray.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(gray.scanLine(y));
        for (int x = 0; x < gray.width(); ++x) {
            const QRgb pixel = line[x];
            const qreal luminance = 0.299 * qRed(pixel) + 0.587 * qGreen(pixel)
                                    + 0.114 * qBlue(pixel);
            const int level = qRound(luminance + (255.0 - luminance) * lightening);
            line[x] = qRgba(level, level, level, qAlpha(pixel));
        }
    }
    return gray.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool registerBundledFonts(const QString &fontDir)
{
    const QFileInfoList fonts = QDir(fontDir).entryInfoList({QStringLiteral("*.ttf")}, QDir::Files);
    QTextStream out(stdout);
    bool allLoaded = !fonts.isEmpty();
    for (const QFileInfo &font : fonts) {
        const int id = QFontDatabase::addApplicationFont(font.absoluteFilePath());
        if (id < 0) {
            QTextStream(stderr) << "cannot load font " << font.filePath() << '\n';
            allLoaded = false;
            continue;
        }
        out << "font " << font.fileName() << ": "
            << QFontDatabase::applicationFontFamilies(id).join(QStringLiteral(", ")) << '\n';
    }
    return allLoaded;
}

QPainterPath centredLabel(const QString &text, qreal pixelSize, const QPointF &centre)
{
    // Font pixel sizes are whole numbers; outlines taken at a large size and
    // scaled down keep the fractional sizes of the design grid exact.
    constexpr int referenceSize = 100;
    QFont font(QStringLiteral("Open Sans"));
    font.setWeight(QFont::Bold);
    font.setPixelSize(referenceSize);

    QPainterPath outline;
    outline.addText(0, 0, font, text);
    outline = QTransform::fromScale(pixelSize / referenceSize, pixelSize / referenceSize)
                  .map(outline);
    const QRectF ink = outline.boundingRect();
    const qreal inkBottom = std::round(centre.y() + ink.height() / 2);
    outline.translate(centre.x() - ink.center().x(), inkBottom - ink.bottom());
    return outline;
}

bool savePng(const QImage &image, const QSize &expected, const QString &path)
{
    if (image.size() != expected) {
        QTextStream(stderr) << path << ": drawn " << image.width() << 'x' << image.height()
                            << ", expected " << expected.width() << 'x' << expected.height()
                            << '\n';
        return false;
    }
    if (!image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    return true;
}
