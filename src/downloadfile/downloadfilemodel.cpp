#include "downloadfilemodel.h"

#include "downloadfiletext.h"
#include "modelitem.h"

#include <QDateTime>

#include <algorithm>

DownloadFileModel::DownloadFileModel(ModelItemRoot *root, QObject *parent)
    : QAbstractItemModel(parent)
    , _root(root)
{
}

ModelItemBase *DownloadFileModel::itemOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<ModelItemBase *>(index.internalPointer()) : _root;
}

QModelIndex DownloadFileModel::index(int row, int column, const QModelIndex &parent) const
{
    ModelItemBase *parentItem = itemOf(parent);
    if (!parentItem || row < 0 || row >= parentItem->childrenItem().size())
        return QModelIndex();
    return createIndex(row, column, parentItem->childrenItem().at(row));
}

QModelIndex DownloadFileModel::parent(const QModelIndex &index) const
{
    if (!index.isValid())
        return QModelIndex();
    auto *parentItem = qobject_cast<ModelItemBase *>(itemOf(index)->parent());
    if (!parentItem || parentItem == _root)
        return QModelIndex();
    auto *grandParent = qobject_cast<ModelItemBase *>(parentItem->parent());
    const int row = grandParent ? grandParent->childIndex(parentItem) : -1;
    return createIndex(row, 0, parentItem);
}

int DownloadFileModel::rowCount(const QModelIndex &parent) const
{
    ModelItemBase *item = itemOf(parent);
    return item ? item->childrenItem().size() : 0;
}

int DownloadFileModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant DownloadFileModel::data(const QModelIndex &index, int role) const
{
    // The rows paint themselves; only screen readers get a sentence.
    if (role != Qt::AccessibleTextRole || !index.isValid())
        return QVariant();
    auto *file = qobject_cast<ModelItemFile *>(itemOf(index));
    return file ? QVariant(accessibleText(*file)) : QVariant();
}

bool DownloadFileModel::insertRows(int row, int count, const QModelIndex &parent)
{
    beginInsertRows(parent, row, row + count - 1);
    endInsertRows();
    return true;
}

bool DownloadFileModel::removeRows(int row, int count, const QModelIndex &parent)
{
    ModelItemBase *parentItem = itemOf(parent);
    if (!parentItem)
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    parentItem->removechild(row, count);
    endRemoveRows();
    return true;
}

Qt::ItemFlags DownloadFileModel::flags(const QModelIndex &index) const
{
    // The root is no row; item views and model checkers expect no flags there.
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

QModelIndex DownloadFileModel::index(ModelItemBase *item) const
{
    if (!item || item == _root)
        return QModelIndex();
    for (QObject *up = item->parent(); up != _root; up = up->parent()) {
        if (!qobject_cast<ModelItemBase *>(up))
            return QModelIndex();
    }
    auto *parentItem = static_cast<ModelItemBase *>(item->parent());
    return createIndex(parentItem->childIndex(item), 0, item);
}

quint64 DownloadFileModel::dayStart(quint64 time)
{
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(qint64(time)).date().startOfDay();
    // East of Greenwich the first day of the epoch starts before it; such a
    // group, like any unrepresentable one, is filed at time 0, the oldest.
    const qint64 ms = start.isValid() ? start.toMSecsSinceEpoch() : 0;
    return ms > 0 ? quint64(ms) : 0;
}

void DownloadFileModel::insertItem(ModelItemFile *file)
{
    if (!file || !_root)
        return;
    const quint64 groupTime = dayStart(file->createTime());
    const QList<ModelItemBase *> &groups = _root->childrenItem();
    // Groups run newest first: the first one not after the day is the day's.
    const auto found = std::lower_bound(groups.begin(), groups.end(), groupTime,
                                        [](ModelItemBase *g, quint64 t) { return g->timeToCompare() > t; });
    ModelItemBase *group = nullptr;
    int groupRow = int(found - groups.begin());
    if (found != groups.end() && (*found)->timeToCompare() == groupTime) {
        group = *found;
    } else {
        // Views must hear of a row before it exists, not after.
        group = new ModelItemDate(groupTime);
        groupRow = _root->placeFor(groupTime);
        beginInsertRows(QModelIndex(), groupRow, groupRow);
        _root->append(group);
        endInsertRows();
    }
    const int row = group->placeFor(file->timeToCompare());
    beginInsertRows(createIndex(groupRow, 0, group), row, row);
    group->append(file);
    endInsertRows();
}
