#include "downloadfiledelegate.h"

#include "downloadeventstruct.h"
#include "modelitem.h"
#include "resource.h"
#include "zuvochatwbconfigure.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QDateTime>
#include <QPainter>
#include <QPixmap>

namespace {

int scaled(int value)
{
    return ZuvoChatWBConfigure::convertScale(value);
}

QFont fontOfPixelSize(int pixels)
{
    QFont font = ZuvoChatWBConfigure::font();
    font.setPixelSize(scaled(pixels));
    return font;
}

QSizeF logicalSize(const QPixmap *pixmap)
{
    if (!pixmap || pixmap->isNull())
        return QSizeF(0, 0);
    return QSizeF(pixmap->size()) / pixmap->devicePixelRatio();
}

ModelItemBase *itemOf(const QModelIndex &index)
{
    return index.isValid() ? static_cast<ModelItemBase *>(index.internalPointer()) : nullptr;
}

// The pointer in the coordinates of the rows, or far away without a view.
QPoint pointerIn(const QWidget *widget)
{
    const auto *view = qobject_cast<const QAbstractItemView *>(widget);
    const QWidget *area = view ? view->viewport() : widget;
    return area ? area->mapFromGlobal(QCursor::pos()) : QPoint(-100000, -100000);
}

const QColor kGrayText(0x99, 0x99, 0x99);

} // namespace

DownloadFileDelegate::DownloadFileDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
    , _defaultItemWidth(scaled(300))
    , _defaultDateItemHeight(scaled(30))
    , _defaultFileItemHeight(scaled(120))
    , _12Font(fontOfPixelSize(12))
    , _12FontMetrics(_12Font)
    , _14Font(fontOfPixelSize(14))
    , _14FontMetrics(_14Font)
    , _itemMarginLeft(scaled(58))
    , _itemMarginTop(scaled(40))
    , _progressWidth(scaled(150))
    , _progressPenWidth(scaled(10))
    , _progressToStatusSkip(scaled(12) + _progressPenWidth / 2)
    , _iconToNameSkip(scaled(10))
    , _nameToSizeSkip(scaled(16))
    , _deleteIconTop(scaled(14))
    , _rightTextSkip(scaled(5))
{
}

QSize DownloadFileDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const
{
    const ModelItemBase *item = itemOf(index);
    const bool date = item && item->itemType() == 1;
    return QSize(_defaultItemWidth, date ? _defaultDateItemHeight : _defaultFileItemHeight);
}

void DownloadFileDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    const ModelItemBase *item = itemOf(index);
    if (!item)
        return;
    if (item->itemType() == 1)
        paintDate(painter, option, index);
    else if (item->itemType() == 2)
        paintFile(painter, option, index);
}

void DownloadFileDelegate::paintDate(QPainter *painter, const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    const auto *date = static_cast<ModelItemDate *>(itemOf(index));
    const QRect &r = option.rect;
    painter->save();
    painter->fillRect(r, QColor(0xee, 0xee, 0xee));
    painter->setFont(_12Font);
    painter->setPen(kGrayText);
    const QString text = dateText(*date);
    painter->drawText(r.left() + _itemMarginLeft,
                      r.top() + (r.height() - _12FontMetrics.height()) / 2 + _12FontMetrics.ascent(), text);
    painter->restore();
}

QString DownloadFileDelegate::dateText(const ModelItemDate &date)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(date.time())).date().toString(QStringLiteral("MM-dd"));
}

DownloadFileDelegate::LinkKind DownloadFileDelegate::linkKind(const ModelItemFile &file)
{
    if (file.status() == ModelItemFile::ModelItemStatusFailed)
        return LinkKind::Redownload;
    if (file.status() == ModelItemFile::ModelItemStatusReady && file.fileExists())
        return LinkKind::OpenInFolder;
    return LinkKind::None;
}

ILink *DownloadFileDelegate::newRowLink(const ModelItemFile &file)
{
    switch (linkKind(file)) {
    case LinkKind::Redownload: return new RedownloadLink(file.key(), nullptr);
    case LinkKind::OpenInFolder: return new OpenInFolderLink(file.key(), nullptr);
    case LinkKind::None: break;
    }
    return nullptr;
}

DownloadFileDelegate::RowGeometry DownloadFileDelegate::rowGeometry(const QRect &itemRect,
                                                                    const ModelItemFile &file) const
{
    RowGeometry geometry;
    const int rightEdge = itemRect.right() - _itemMarginLeft;
    const QSizeF mark = logicalSize(Resource::ShareInstance()->fileHistoryDeleteIcon());
    const int markTop = itemRect.top() + _deleteIconTop;
    geometry.deleteMark = QRect(QPoint(int(rightEdge - mark.width()), markTop),
                                QPoint(rightEdge, int(markTop + mark.height())));

    const LinkKind kind = linkKind(file);
    if (kind == LinkKind::None)
        return geometry;
    geometry.linkText = kind == LinkKind::Redownload ? ZuvoChatWBConfigure::WebFileRedownloadText()
                                                     : ZuvoChatWBConfigure::WebFileOpenInFolderText();
    const int textRight = rightEdge - _rightTextSkip;
    const int bandTop = itemRect.top() + _itemMarginTop;
    const int bandHeight = (itemRect.bottom() - _itemMarginTop) - bandTop + 1;
    const int top = bandTop + (bandHeight - _14FontMetrics.height()) / 2;
    const int left = textRight - _14FontMetrics.horizontalAdvance(geometry.linkText);
    geometry.link = QRect(QPoint(left, top), QPoint(textRight, top + _14FontMetrics.height() - 1));
    return geometry;
}

void DownloadFileDelegate::paintFile(QPainter *painter, const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    auto *file = static_cast<ModelItemFile *>(itemOf(index));
    const QRect &r = option.rect;
    const RowGeometry geometry = rowGeometry(r, *file);
    const QPoint pointer = pointerIn(option.widget);
    const bool focused = option.state & QStyle::State_HasFocus;
    const int iconX = r.left() + _itemMarginLeft;
    const int rightEdge = r.right() - _itemMarginLeft;
    const int textRight = rightEdge - _rightTextSkip;
    const int bandTop = r.top() + _itemMarginTop;
    const int bandHeight = (r.bottom() - _itemMarginTop) - bandTop + 1;
    const int ascent = _14FontMetrics.ascent();
    const int height = _14FontMetrics.height();

    painter->save();
    QColor background = Qt::white;
    if (option.state & QStyle::State_Selected)
        background = Qt::gray;
    else if (r.contains(pointer) || focused)
        background = QColor(0xfa, 0xfa, 0xfa);
    painter->fillRect(r, background);

    const QSizeF iconSize = logicalSize(file->icon());
    const int iconY = int(bandTop + (bandHeight - iconSize.height()) * 0.5);
    if (file->icon())
        painter->drawPixmap(iconX, iconY, *file->icon());
    const int nameX = int(iconX + _iconToNameSkip + iconSize.width());
    if (QPixmap *mark = Resource::ShareInstance()->fileHistoryDeleteIcon())
        painter->drawPixmap(geometry.deleteMark.topLeft(), *mark);
    painter->restore();

    int nameRight = geometry.deleteMark.left();
    painter->save();
    painter->setFont(_14Font);
    if (file->status() == ModelItemFile::ModelItemStatusDownloading) {
        const QString text = file->downloadOffsetText();
        const int textX = textRight - _14FontMetrics.horizontalAdvance(text);
        painter->setPen(kGrayText);
        painter->drawText(textX, bandTop + (bandHeight - height) / 2 + ascent, text);
        const int barEnd = textX - _progressToStatusSkip;
        const int barStart = barEnd - _progressWidth;
        const int barY = bandTop + bandHeight / 2;
        painter->setRenderHint(QPainter::Antialiasing, true);
        QPen pen(QColor(0xc2, 0xc2, 0xc2), _progressPenWidth, Qt::SolidLine, Qt::RoundCap);
        painter->setPen(pen);
        painter->drawLine(QPointF(barStart, barY), QPointF(barEnd, barY));
        pen.setColor(QColor(0x6c, 0xa5, 0xd1));
        painter->setPen(pen);
        painter->drawLine(QPointF(barStart, barY),
                          QPointF(barStart + file->downloadPercent() / 100.0 * _progressWidth, barY));
        // The round cap reaches half a pen before barStart; keep the name as
        // far from it as the percentage is from the other end.
        nameRight = barStart - _progressToStatusSkip;
    } else if (!geometry.link.isNull()) {
        QFont linkFont = _14Font;
        linkFont.setUnderline(geometry.link.contains(pointer) || focused);
        painter->setFont(linkFont);
        painter->setPen(kGrayText);
        painter->drawText(geometry.link.left(), geometry.link.top() + ascent, geometry.linkText);
        nameRight = geometry.link.left();
    }
    painter->restore();

    const bool missing = file->status() == ModelItemFile::ModelItemStatusReady && !file->fileExists();
    painter->save();
    painter->setFont(_14Font);
    painter->setPen(missing ? kGrayText : QColor(Qt::black));
    painter->drawText(nameX, iconY + ascent, file->nameText(nameRight - nameX + 1, _14FontMetrics));

    QString second = file->fileSizeText();
    QColor secondColor = kGrayText;
    if (file->status() == ModelItemFile::ModelItemStatusFailed) {
        second = ZuvoChatWBConfigure::WebFileFailedText();
        secondColor = Qt::red;
    } else if (missing) {
        second = ZuvoChatWBConfigure::WebFileMissedText();
    }
    painter->setPen(secondColor);
    painter->drawText(nameX, iconY + height + _nameToSizeSkip + ascent, second);
    painter->restore();

    // The last record of a day has no rule above the next day's row; the
    // very last row of the list keeps one.
    auto *group = static_cast<ModelItemBase *>(file->parent());
    auto *root = group ? static_cast<ModelItemBase *>(group->parent()) : nullptr;
    const bool ruleless = group && group->isLastChild(file) && !(root && root->isLastChild(group));
    if (!ruleless) {
        painter->save();
        painter->setPen(QPen(QColor(0xe2, 0xe2, 0xe2), 1));
        const int y = r.bottom() - 1;
        painter->drawLine(iconX, y, geometry.link.isNull() ? rightEdge : textRight, y);
        painter->restore();
    }
}

void DownloadFileDelegate::getState(QPoint mousePos, QRect itemRect, const QModelIndex &index,
                                    Qt::CursorShape &shape, ILink *&link) const
{
    auto *file = qobject_cast<ModelItemFile *>(itemOf(index));
    if (!file)
        return;
    const RowGeometry geometry = rowGeometry(itemRect, *file);
    if (geometry.deleteMark.contains(mousePos)) {
        link = new RemoveLink(file->key(), nullptr);
        shape = Qt::PointingHandCursor;
        return;
    }
    shape = Qt::ArrowCursor;
    if (!geometry.link.isNull() && geometry.link.contains(mousePos)) {
        link = newRowLink(*file);
        shape = Qt::PointingHandCursor;
    }
}
