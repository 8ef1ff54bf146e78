#pragma once

#include <QAbstractItemModel>

class ModelItemBase;
class ModelItemFile;
class ModelItemRoot;

// Two levels over the item tree: day groups newest first, and under each its
// records newest first. The rows carry no data; the row painter reads the
// item behind each index.
class DownloadFileModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    DownloadFileModel(ModelItemRoot *root, QObject *parent);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QModelIndex index(ModelItemBase *item) const;
    void insertItem(ModelItemFile *file);

    ModelItemRoot *root() const { return _root; }
    // Local midnight at the start of the day of a time, both in ms since the epoch.
    static quint64 dayStart(quint64 time);

private:
    ModelItemBase *itemOf(const QModelIndex &index) const;
    ModelItemBase *groupOf(quint64 created, int &row);

    ModelItemRoot *_root;
};
