#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QStyledItemDelegate>

class ILink;
class ModelItemDate;
class ModelItemFile;

// Paints the day rows and the record rows of the download history and
// answers the view's hit test with a cursor and the link under the pointer.
class DownloadFileDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The clickable parts of a record row, in the row's coordinates. Painting
    // and the hit test both take them from rowGeometry, so a click lands
    // exactly where the mark and the link are drawn.
    struct RowGeometry {
        QRect deleteMark; // the drawn mark plus one pixel right and below
        QRect link;       // null when the record offers no link
        QString linkText;
    };
    enum class LinkKind { None, OpenInFolder, Redownload };

    explicit DownloadFileDelegate(QObject *parent);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    void paintDate(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void paintFile(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;

    void getState(QPoint mousePos, QRect itemRect, const QModelIndex &index, Qt::CursorShape &shape,
                  ILink *&link) const;

    RowGeometry rowGeometry(const QRect &itemRect, const ModelItemFile &file) const;
    // What a day's heading row says.
    static QString dateText(const ModelItemDate &date);
    static LinkKind linkKind(const ModelItemFile &file);
    // The link a record row offers (for the keyboard's Enter), or null.
    static ILink *newRowLink(const ModelItemFile &file);

private:
    int _defaultItemWidth;
    int _defaultDateItemHeight;
    int _defaultFileItemHeight;
    QFont _12Font;
    QFontMetrics _12FontMetrics;
    QFont _14Font;
    QFontMetrics _14FontMetrics;
    int _itemMarginLeft;
    int _itemMarginTop;
    int _progressWidth;
    int _progressPenWidth;
    int _progressToStatusSkip;
    int _iconToNameSkip;
    int _nameToSizeSkip;
    int _deleteIconTop;
    int _rightTextSkip;
};
