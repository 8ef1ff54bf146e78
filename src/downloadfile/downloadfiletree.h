#pragma once

#include "downloadfiletext.h"

#include <QHash>
#include <QLabel>
#include <QSet>
#include <QStringList>
#include <QTreeView>
#include <QWidget>

#include <functional>

class DownloadFileDelegate;
class DownloadFileModel;
class DownloadFileTreeFoot;
class ILink;
class ModelItemBase;
class ModelItemFile;
class QJsonArray;
class QStyledItemDelegate;

// The history's tree: the pointer gets a hand over the delete mark and the
// links, and a left click there becomes a request carrying the record's key.
// From the keyboard, arrows move between records, Enter runs the row's link
// and Delete asks to delete it, exactly as the mouse would.
class TreeView : public QTreeView
{
    Q_OBJECT

public:
    using ToolTipSource = std::function<QString(const ModelItemFile &)>;

    explicit TreeView(QWidget *parent = nullptr);

    void updateCursor(QPoint pos);
    void setToolTipSource(ToolTipSource source) { _toolTipSource = std::move(source); }
    QString toolTipOf(const ModelItemFile &file) const { return _toolTipSource ? _toolTipSource(file) : QString(); }
    // Runs a row's link as a left click on it does, and deletes it.
    void activate(ILink *link) { runLink(link, Qt::LeftButton); }

signals:
    void openFileFoler(QString fileKey);
    void redownloadFile(QString fileKey);
    void removeDownloadFile(QString fileKey);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    DownloadFileDelegate *rowDelegate() const;
    void runLink(ILink *link, Qt::MouseButton button);
    QModelIndex firstRecord() const;

    ToolTipSource _toolTipSource;
};

// The download history panel: keeps the tree in step with the host's list,
// polls the progress of running downloads once a second, and turns the user's
// clicks into requests. While the history is empty it shows an image and a text.
class DownloadFileTree : public QWidget
{
    Q_OBJECT

public:
    explicit DownloadFileTree(QWidget *parent);
    ~DownloadFileTree() override;

    void setModel(QAbstractItemModel *model);
    void setDelegate(QStyledItemDelegate *delegate);
    void toRequestFileList();

    TreeView *treeView() { return &_tree; }
    DownloadFileTreeFoot *foot() const { return _foot; }
    DownloadFileModel *model() const { return _model; }
    ModelItemFile *record(const QString &key) const { return _allItem.value(key); }
    bool isPolling() const { return _requestDownloadOffsetTimer != 0; }
    QString toolTipFor(const ModelItemFile &file) const;

signals:
    void requestFileList(QString key);
    void requestFileDownloadOffsetList(QString key, QStringList fileList);
    void openFileFoler(QString fileKey);
    void redownloadFile(QString key, QString fileKey);
    void removeDownloadFile(QString key, QString fileKey);
    void removeAllDownloadFile(QString key);

public slots:
    void onRequestFileList(QByteArray json);
    void onRequestFileDownloadOffset(QByteArray json);
    void onRedownloadFile(QString fileKey);
    void onRemoveDownloadFile(QString fileKey);
    void onClearAll();
    void onRestartDownloadResponse(QByteArray json);
    void onRemoveHistoryResponse(QByteArray json);
    void onRemoveAllHistoryResponse(QByteArray json);

protected:
    void timerEvent(QTimerEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    static QString newRequestId();
    // Accepts a reply to the pending request of one kind: clears its id and
    // hands out the records.
    static bool acceptReply(const QByteArray &json, QString &pendingId, QJsonArray &records);
    void requestDownloadOffset();
    void startPolling();
    void applyFileList(const QJsonArray &records);
    void applyProgress(const QJsonArray &records);
    void noteStatus(ModelItemFile *file);
    void removeFileByKey(const QString &fileKey);
    void removeAllFile();
    void showList();
    void showEmpty();

    TreeView _tree;
    DownloadFileTreeFoot *_foot = nullptr;
    DownloadFileModel *_model = nullptr;
    QString _requestListKey;
    QLabel _emptyImg;
    QLabel _emptyText;
    // Records by key; the tree owns them. A hash, as nothing needs them sorted
    // but the few keys of a poll.
    QHash<QString, ModelItemFile *> _allItem;
    QString _requestOffsetKey;
    int _requestDownloadOffsetTimer = 0;
    int _requestDownloadOffsetDelayTimes = 3;

    ModelItemBase *_root = nullptr;
    QSet<QString> _downloading;
    QHash<QString, DownloadRate> _rates;
};
