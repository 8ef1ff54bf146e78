#include "contactsheet.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTextStream>

namespace {

constexpr int gap = 14;
constexpr int margin = 24;

using ImageRow = QVector<QImage>;

QSize rowSize(const ImageRow &row)
{
    int width = 0;
    int height = 0;
    for (const QImage &image : row) {
        width += image.width() + (width ? gap : 0);
        height = qMax(height, image.height());
    }
    return {width, height};
}

QSize panelSize(const QVector<ImageRow> &rows)
{
    int width = 0;
    int height = 0;
    for (const ImageRow &row : rows) {
        const QSize size = rowSize(row);
        width = qMax(width, size.width());
        height += size.height() + (height ? gap : 0);
    }
    return {width + 2 * margin, height + 2 * margin};
}

// Images of a row share a bottom line, as icons of one size do in a list.
void drawPanel(QPainter &painter, const QVector<ImageRow> &rows, const QRect &panel,
               const QColor &background)
{
    painter.fillRect(panel, background);
    int y = panel.top() + margin;
    for (const ImageRow &row : rows) {
        const int rowHeight = rowSize(row).height();
        int x = panel.left() + margin;
        for (const QImage &image : row) {
            painter.drawImage(x, y + rowHeight - image.height(), image);
            x += image.width() + gap;
        }
        y += rowHeight + gap;
    }
}

bool loadRows(const QString &srcDir, const QVector<QStringList> &paths, QVector<ImageRow> &rows)
{
    const QDir dir(srcDir);
    for (const QStringList &rowPaths : paths) {
        ImageRow row;
        for (const QString &path : rowPaths) {
            QImage image(dir.filePath(path));
            if (image.isNull()) {
                QTextStream(stderr) << "contact sheet: cannot read " << path << '\n';
                return false;
            }
            // The reader gives "@2x" files a device pixel ratio of 2, which
            // would draw them at the 1x size; the sheet shows real pixels.
            image.setDevicePixelRatio(1);
            row << image;
        }
        rows << row;
    }
    return true;
}

} // namespace

bool writeContactSheet(const QString &srcDir, const QVector<QStringList> &rows,
                       const QString &sheetPath)
{
    QVector<ImageRow> images;
    if (!loadRows(srcDir, rows, images))
        return false;
    const QSize panel = panelSize(images);
    QImage sheet(panel.width() * 2, panel.height(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&sheet);
    drawPanel(painter, images, QRect(QPoint(0, 0), panel), Qt::white);
    drawPanel(painter, images, QRect(QPoint(panel.width(), 0), panel), QColor(Qt::lightGray));
    painter.end();
    return sheet.save(sheetPath, "PNG");
}
