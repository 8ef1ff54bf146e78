#pragma once

#include <QFontMetrics>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>

class QPixmap;

// The panel's item tree: one invisible root, one group per local day, one
// record per downloaded file. Children are QObject children of their item,
// so deleting a day group takes its records with it.
class ModelItemBase : public QObject
{
    Q_OBJECT

public:
    ModelItemBase();
    ~ModelItemBase() override;

    virtual int itemType() const = 0;
    virtual quint64 timeToCompare() const = 0;

    // Files the item among the children newest first, after children of the
    // same time; returns its position.
    int append(ModelItemBase *item);
    // Where append would put an item of this time, so that a model can
    // announce the row before it exists.
    int placeFor(quint64 time) const;
    int prepend(ModelItemBase *item);
    bool removechild(int index, int count);
    int childIndex(ModelItemBase *item) const;
    bool isLastChild(ModelItemBase *item) const;
    const QList<ModelItemBase *> &childrenItem() const { return _children; }
    int compareTo(ModelItemBase *other) const;

private:
    void adopt(ModelItemBase *item);

    QList<ModelItemBase *> _children;
    // The time each child was filed under, kept beside it: a record whose
    // creation time changes later keeps its place, and the binary searches
    // must see the order the list really has.
    QList<quint64> _childTimes;
};

class ModelItemRoot : public ModelItemBase
{
    Q_OBJECT

public:
    int itemType() const override { return 0; }
    quint64 timeToCompare() const override { return 0; }
};

class ModelItemDate : public ModelItemBase
{
    Q_OBJECT

public:
    // nextDay, local midnight at the end of the day, lets a new record be
    // placed without converting its time to a local date.
    explicit ModelItemDate(quint64 time, quint64 nextDay = 0);

    int itemType() const override { return 1; }
    quint64 timeToCompare() const override { return _time; }
    quint64 time() const { return _time; }
    bool contains(quint64 time) const { return time >= _time && time < _nextDay; }

private:
    const quint64 _time;
    const quint64 _nextDay;
};

class ModelItemFile : public ModelItemBase
{
    Q_OBJECT

public:
    enum ModelItemStatus {
        ModelItemStatusAdded = 0,
        ModelItemStatusDownloading = 1,
        ModelItemStatusReady = 2,
        ModelItemStatusFailed = 3,
    };

    explicit ModelItemFile(QString key);

    int itemType() const override { return 2; }
    quint64 timeToCompare() const override { return _createTime; }

    QString key() const { return _key; }
    QString name() const { return _name; }
    quint64 createTime() const { return _createTime; }
    quint64 updateTime() const { return _updateTime; }
    quint64 fileSize() const { return _fileSize; }
    ModelItemStatus status() const { return _status; }
    quint64 downloadOffset() const { return _downloadOffset; }
    bool fileExists() const { return _fileExists; }
    QPixmap *icon() const { return _icon; }
    QString fileSizeText() const { return _fileSizeText; }
    float downloadPercent() const { return _downloadPercent; }
    QString downloadOffsetText() const { return _downloadOffsetText; }

    void setName(QString name);
    void setCreateTime(quint64 time) { _createTime = time; }
    void setUpdateTime(quint64 time) { _updateTime = time; }
    void setFileSize(quint64 size);
    void setStatus(ModelItemStatus status) { _status = status; }
    void setDownloadOffset(quint64 offset);
    void setFileExists(bool exists);

    void fromJson(QJsonObject &json);
    QString nameText(int width, QFontMetrics metrics);

private:
    const QString _key;
    QString _name;
    QString _nameText;
    int _nameWidth = 0;
    QFontMetrics _nameFontMetrics;
    quint64 _createTime = 0;
    quint64 _updateTime = 0;
    quint64 _fileSize = 0;
    ModelItemStatus _status = ModelItemStatusAdded;
    quint64 _downloadOffset = 0;
    bool _fileExists = true;
    QPixmap *_icon = nullptr;
    QString _fileSizeText;
    float _downloadPercent = 0.0f;
    QString _downloadOffsetText;
};
