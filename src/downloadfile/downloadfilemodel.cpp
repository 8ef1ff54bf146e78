#include "downloadfilemodel.h"

#include "downloadfiletext.h"
#include "modelitem.h"

#include <QDateTime>
#include <QTimeZone>

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

namespace {

// The system's zone, read once: the C library's local time looks the zone
// file up again on every conversion, which is what a long list pays for.
const QTimeZone &localZone()
{
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    return zone;
}

// Milliseconds of local midnight at the start of a day; a day starting before
// the epoch (east of Greenwich, the epoch's own) or not representable gives 0,
// the oldest place.
quint64 startOf(const QDate &day)
{
    const QDateTime start = localZone().isValid() ? day.startOfDay(localZone()) : day.startOfDay();
    const qint64 ms = start.isValid() ? start.toMSecsSinceEpoch() : 0;
    return ms > 0 ? quint64(ms) : 0;
}

QDate localDate(quint64 time)
{
    return localZone().isValid() ? QDateTime::fromMSecsSinceEpoch(qint64(time), localZone()).date()
                                 : QDateTime::fromMSecsSinceEpoch(qint64(time)).date();
}

// The first group, newest first, whose time is not after time.
int firstGroupNotAfter(const QList<ModelItemBase *> &groups, quint64 time)
{
    const auto found = std::lower_bound(groups.begin(), groups.end(), time,
                                        [](ModelItemBase *g, quint64 t) { return g->timeToCompare() > t; });
    return int(found - groups.begin());
}

} // namespace

quint64 DownloadFileModel::dayStart(quint64 time)
{
    return startOf(localDate(time));
}

// The day group of a creation time and its row, created and announced when
// the day is new. Converting a time to a local date costs, so it is done only
// when no existing group's day holds the time.
ModelItemBase *DownloadFileModel::groupOf(quint64 created, int &row)
{
    const QList<ModelItemBase *> &groups = _root->childrenItem();
    row = firstGroupNotAfter(groups, created);
    if (row < groups.size() && static_cast<ModelItemDate *>(groups.at(row))->contains(created))
        return groups.at(row);

    const QDate day = localDate(created);
    const quint64 groupTime = startOf(day);
    row = firstGroupNotAfter(groups, groupTime);
    if (row < groups.size() && groups.at(row)->timeToCompare() == groupTime)
        return groups.at(row);
    auto *group = new ModelItemDate(groupTime, startOf(day.addDays(1)));
    // Views must hear of a row before it exists, not after.
    beginInsertRows(QModelIndex(), row, row);
    _root->append(group);
    endInsertRows();
    return group;
}

void DownloadFileModel::insertItem(ModelItemFile *file)
{
    if (!file || !_root)
        return;
    int groupRow = 0;
    ModelItemBase *group = groupOf(file->createTime(), groupRow);
    const int row = group->placeFor(file->timeToCompare());
    beginInsertRows(createIndex(groupRow, 0, group), row, row);
    group->append(file);
    endInsertRows();
}
