#include "downloadfiletree.h"

#include "accessibility.h"
#include "downloadeventstruct.h"
#include "downloadfileaccessible.h"
#include "downloadfiledelegate.h"
#include "downloadfilemodel.h"
#include "downloadfiletreefoot.h"
#include "modelitem.h"
#include "resource.h"
#include "zuvochatwbconfigure.h"
#include "zuvolog.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QRegularExpression>
#include <QTimerEvent>
#include <QToolTip>
#include <QUuid>
#include <QVBoxLayout>

#include <algorithm>

namespace {

ModelItemFile *fileOf(const QModelIndex &index)
{
    return index.isValid() ? qobject_cast<ModelItemFile *>(static_cast<QObject *>(index.internalPointer()))
                           : nullptr;
}

QJsonObject objectOf(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}

// The host's words go into the tooltip as text, never as markup.
QString asPlainRichText(const QString &text)
{
    return QStringLiteral("<p style='white-space:pre'>%1</p>")
        .arg(text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
}

qint64 monotonicMsecs()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

} // namespace

TreeView::TreeView(QWidget *parent)
    : QTreeView(parent)
{
    accessibility::install();
    setFocusPolicy(Qt::StrongFocus);
}

DownloadFileDelegate *TreeView::rowDelegate() const
{
    return qobject_cast<DownloadFileDelegate *>(itemDelegate());
}

void TreeView::updateCursor(QPoint pos)
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return;
    update(index);
    DownloadFileDelegate *delegate = rowDelegate();
    if (!delegate)
        return;
    Qt::CursorShape shape = cursor().shape();
    ILink *link = nullptr;
    delegate->getState(pos, visualRect(index), index, shape, link);
    delete link;
    setCursor(shape);
}

void TreeView::mouseMoveEvent(QMouseEvent *e)
{
    updateCursor(e->pos());
}

void TreeView::runLink(ILink *link, Qt::MouseButton button)
{
    link->onClick(button, [this](const QString &command, const QString &key) {
        if (command == QLatin1String("openfilefolder"))
            emit openFileFoler(key);
        else if (command == QLatin1String("redownloadfile"))
            emit redownloadFile(key);
        else if (command == QLatin1String("removedownloadfile"))
            emit removeDownloadFile(key);
    });
    delete link;
}

void TreeView::mousePressEvent(QMouseEvent *e)
{
    const QPoint pos = e->pos();
    const QModelIndex index = indexAt(pos);
    DownloadFileDelegate *delegate = rowDelegate();
    if (!index.isValid() || !delegate) {
        QTreeView::mousePressEvent(e);
        return;
    }
    update(index);
    Qt::CursorShape shape = cursor().shape();
    ILink *link = nullptr;
    delegate->getState(pos, visualRect(index), index, shape, link);
    if (!link) {
        QTreeView::mousePressEvent(e);
        return;
    }
    // A press on a link never reaches the base view, so it selects nothing.
    runLink(link, e->button());
}

void TreeView::keyPressEvent(QKeyEvent *e)
{
    ModelItemFile *file = fileOf(currentIndex());
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (file && enter) {
        if (ILink *link = DownloadFileDelegate::newRowLink(*file))
            runLink(link, Qt::LeftButton);
        return;
    }
    if (file && e->key() == Qt::Key_Delete) {
        runLink(new RemoveLink(file->key(), nullptr), Qt::LeftButton);
        return;
    }
    QTreeView::keyPressEvent(e);
}

void TreeView::focusInEvent(QFocusEvent *e)
{
    QTreeView::focusInEvent(e);
    if (!fileOf(currentIndex()))
        setCurrentIndex(firstRecord());
}

QModelIndex TreeView::firstRecord() const
{
    QModelIndex index = model() ? model()->index(0, 0) : QModelIndex();
    while (index.isValid() && !fileOf(index))
        index = indexBelow(index);
    return index;
}

QModelIndex TreeView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Day rows are headings: the cursor steps over them to the next record.
    const QModelIndex from = currentIndex();
    QModelIndex to = QTreeView::moveCursor(action, modifiers);
    const bool up = action == MoveUp || action == MovePageUp || action == MoveHome || action == MovePrevious;
    while (to.isValid() && !fileOf(to)) {
        const QModelIndex next = up ? indexAbove(to) : indexBelow(to);
        if (!next.isValid())
            break;
        to = next;
    }
    if (!fileOf(to)) {
        // From the first record upwards there is only the heading: stay.
        to = fileOf(from) ? from : firstRecord();
    }
    return to;
}

// The tree view's own announcements count its rows as a table's cells, with a
// header first; this view shows itself as a plain list of rows instead, so it
// announces the row itself.
void TreeView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QAbstractItemView::currentChanged(current, previous);
    if (!QAccessible::isActive() || !hasFocus() || !current.isValid())
        return;
    if (QAccessibleInterface *shown = downloadfileaccessible::rowInterface(this, current)) {
        QAccessibleEvent event(shown, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

// The same for selection: the tree view's announcements would name the wrong rows.
void TreeView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
}

bool TreeView::viewportEvent(QEvent *e)
{
    if (e->type() != QEvent::ToolTip)
        return QTreeView::viewportEvent(e);
    auto *help = static_cast<QHelpEvent *>(e);
    ModelItemFile *file = fileOf(indexAt(help->pos()));
    if (!file || !_toolTipSource) {
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), asPlainRichText(_toolTipSource(*file)), viewport(),
                       visualRect(indexAt(help->pos())));
    return true;
}

DownloadFileTree::DownloadFileTree(QWidget *parent)
    : QWidget(parent)
    , _tree(this)
    , _foot(new DownloadFileTreeFoot(this))
    , _emptyImg(this)
    , _emptyText(this)
{
    using C = ZuvoChatWBConfigure;
    _tree.setObjectName(QStringLiteral("downloadTree"));
    _foot->setObjectName(QStringLiteral("downloadFoot"));
    _emptyImg.setObjectName(QStringLiteral("emptyImage"));
    _emptyText.setObjectName(QStringLiteral("emptyText"));

    auto *layout = new QVBoxLayout;
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&_tree, 0);
    layout->addWidget(_foot, 0);
    layout->addWidget(&_emptyImg, 1, Qt::AlignHCenter | Qt::AlignBottom);
    layout->addWidget(&_emptyText, 1, Qt::AlignHCenter | Qt::AlignTop);
    setLayout(layout);
    _tree.hide();
    _foot->hide();

    _foot->setMaximumHeight(C::convertScale(80));
    _foot->setMinimumHeight(_foot->maximumHeight());
    _foot->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(_foot, &DownloadFileTreeFoot::clearAll, this, &DownloadFileTree::onClearAll);

    _tree.setRootIsDecorated(false);
    _tree.setIndentation(0);
    _tree.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    _tree.setHeaderHidden(true);
    _tree.setMouseTracking(true);
    _tree.setFrameShape(QFrame::NoFrame);
    _tree.setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Expanding);
    connect(&_tree, &TreeView::openFileFoler, this, &DownloadFileTree::openFileFoler);
    connect(&_tree, &TreeView::redownloadFile, this, &DownloadFileTree::onRedownloadFile);
    connect(&_tree, &TreeView::removeDownloadFile, this, &DownloadFileTree::onRemoveDownloadFile);
    _tree.setToolTipSource([this](const ModelItemFile &file) { return toolTipFor(file); });

    if (QPixmap *empty = Resource::ShareInstance()->fileEmptyLog()) {
        _emptyImg.setPixmap(*empty);
        _emptyImg.resize(empty->size() / empty->devicePixelRatio());
        _emptyImg.setMinimumSize(_emptyImg.size());
    }
    _emptyImg.setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);

    // The host's text, shown as it stands: never guessed to be markup.
    _emptyText.setTextFormat(Qt::PlainText);
    _emptyText.setText(C::WebFileEmptyText());
    QPalette palette = _emptyText.palette();
    palette.setColor(QPalette::All, QPalette::WindowText, QColor(99, 99, 99));
    _emptyText.setPalette(palette);
    QFont font = C::font();
    font.setPixelSize(C::convertScale(14));
    _emptyText.setFont(font);

    auto *root = new ModelItemRoot;
    _root = root;
    setModel(new DownloadFileModel(root, this));
    setDelegate(new DownloadFileDelegate(this));
}

void DownloadFileTree::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() != QEvent::LanguageChange)
        return;
    // The rows read their texts when painted; the fixed ones are set again.
    _emptyText.setText(ZuvoChatWBConfigure::WebFileEmptyText());
    _foot->setClearAllText(ZuvoChatWBConfigure::WebFileRemoveAllText());
    _tree.viewport()->update();
}

DownloadFileTree::~DownloadFileTree()
{
    delete _foot;
    // The view lets go of the model before the tree under it goes.
    _tree.setModel(nullptr);
    delete _model;
    delete _root;
}

void DownloadFileTree::setModel(QAbstractItemModel *model)
{
    _model = qobject_cast<DownloadFileModel *>(model);
    _tree.setModel(model);
}

void DownloadFileTree::setDelegate(QStyledItemDelegate *delegate)
{
    _tree.setItemDelegate(delegate);
}

QString DownloadFileTree::newRequestId()
{
    static const QRegularExpression decoration(QStringLiteral("[{}-]"));
    return QUuid::createUuid().toString().remove(decoration);
}

void DownloadFileTree::toRequestFileList()
{
    _requestListKey = newRequestId();
    emit requestFileList(_requestListKey);
}

QString DownloadFileTree::toolTipFor(const ModelItemFile &file) const
{
    const auto rate = _rates.constFind(file.key());
    return downloadToolTip(file, rate == _rates.constEnd() ? nullptr : &rate.value());
}

void DownloadFileTree::noteStatus(ModelItemFile *file)
{
    if (file->status() == ModelItemFile::ModelItemStatusDownloading) {
        _downloading.insert(file->key());
        _rates[file->key()].sample(file->downloadOffset(), monotonicMsecs());
    } else {
        _downloading.remove(file->key());
        _rates.remove(file->key());
    }
}

bool DownloadFileTree::acceptReply(const QByteArray &json, QString &pendingId, QJsonArray &records)
{
    if (json.isEmpty() || pendingId.isEmpty())
        return false;
    const QJsonObject reply = objectOf(json);
    const auto key = reply.constFind(QLatin1String("key"));
    if (key == reply.constEnd() || key.value().toString() != pendingId)
        return false;
    pendingId.clear();
    records = reply.value(QLatin1String("data")).toArray();
    return true;
}

void DownloadFileTree::onRequestFileList(QByteArray json)
{
    QJsonArray records;
    if (!acceptReply(json, _requestListKey, records))
        return;
    applyFileList(records);
    startPolling();
    if (_model && !_model->root()->childrenItem().isEmpty())
        showList();
}

void DownloadFileTree::applyFileList(const QJsonArray &records)
{
    bool updated = false;
    for (const QJsonValue &element : records) {
        // Anything but an object with a key names no record.
        if (!element.isObject())
            continue;
        QJsonObject object = element.toObject();
        const QString key = object.value(QLatin1String("key")).toString();
        if (key.isEmpty())
            continue;
        if (ModelItemFile *known = _allItem.value(key)) {
            known->fromJson(object);
            noteStatus(known);
            updated = true;
            continue;
        }
        auto *file = new ModelItemFile(key);
        file->fromJson(object);
        if (_model)
            _model->insertItem(file);
        _allItem.insert(key, file);
        noteStatus(file);
    }
    // One repaint of what is on screen instead of a lookup per record.
    if (updated)
        _tree.viewport()->update();
}

void DownloadFileTree::startPolling()
{
    if (_requestDownloadOffsetTimer == 0)
        _requestDownloadOffsetTimer = startTimer(1000, Qt::CoarseTimer);
}

void DownloadFileTree::onRequestFileDownloadOffset(QByteArray json)
{
    QJsonArray records;
    if (acceptReply(json, _requestOffsetKey, records))
        applyProgress(records);
}

void DownloadFileTree::applyProgress(const QJsonArray &records)
{
    bool updated = false;
    for (const QJsonValue &element : records) {
        QJsonObject object = element.toObject();
        ModelItemFile *file = _allItem.value(object.value(QLatin1String("key")).toString());
        if (!file)
            continue;
        file->fromJson(object);
        noteStatus(file);
        updated = true;
    }
    if (updated)
        _tree.viewport()->update();
}

void DownloadFileTree::timerEvent(QTimerEvent *e)
{
    if (e->timerId() != _requestDownloadOffsetTimer || _requestDownloadOffsetTimer == 0) {
        QWidget::timerEvent(e);
        return;
    }
    if (!_requestOffsetKey.isEmpty() && _requestDownloadOffsetDelayTimes > 0) {
        --_requestDownloadOffsetDelayTimes;
        return;
    }
    requestDownloadOffset();
}

void DownloadFileTree::requestDownloadOffset()
{
    QStringList keys(_downloading.cbegin(), _downloading.cend());
    if (keys.isEmpty()) {
        if (_requestDownloadOffsetTimer != 0)
            killTimer(_requestDownloadOffsetTimer);
        _requestDownloadOffsetTimer = 0;
        return;
    }
    std::sort(keys.begin(), keys.end());
    _requestDownloadOffsetDelayTimes = 3;
    _requestOffsetKey = newRequestId();
    emit requestFileDownloadOffsetList(_requestOffsetKey, keys);
}

void DownloadFileTree::onRedownloadFile(QString fileKey)
{
    emit redownloadFile(newRequestId(), fileKey);
}

void DownloadFileTree::onRemoveDownloadFile(QString fileKey)
{
    emit removeDownloadFile(newRequestId(), fileKey);
}

void DownloadFileTree::onClearAll()
{
    const QString id = newRequestId();
    qCDebug(zuvoPanel) << "onClearAll:" << id;
    emit removeAllDownloadFile(id);
}

void DownloadFileTree::onRestartDownloadResponse(QByteArray json)
{
    const QJsonObject reply = objectOf(json);
    if (!reply.contains(QLatin1String("key")) || !reply.contains(QLatin1String("fileKey")))
        return;
    ModelItemFile *file = _allItem.value(reply.value(QLatin1String("fileKey")).toString());
    if (!file)
        return;
    file->setStatus(ModelItemFile::ModelItemStatusDownloading);
    noteStatus(file);
    startPolling();
}

void DownloadFileTree::onRemoveHistoryResponse(QByteArray json)
{
    const QJsonObject reply = objectOf(json);
    if (!reply.contains(QLatin1String("key")) || !reply.contains(QLatin1String("fileKey")))
        return;
    removeFileByKey(reply.value(QLatin1String("fileKey")).toString());
}

void DownloadFileTree::onRemoveAllHistoryResponse(QByteArray json)
{
    if (objectOf(json).contains(QLatin1String("key")))
        removeAllFile();
}

void DownloadFileTree::removeFileByKey(const QString &fileKey)
{
    ModelItemFile *file = fileKey.isEmpty() ? nullptr : _allItem.take(fileKey);
    if (!file)
        return;
    _downloading.remove(fileKey);
    _rates.remove(fileKey);
    const QModelIndex index = _model ? _model->index(file) : QModelIndex();
    if (!index.isValid())
        return;
    const QModelIndex group = index.parent();
    if (!_model->removeRows(index.row(), 1, group))
        return;
    if (_model->rowCount(group) == 0)
        _model->removeRows(group.row(), 1, QModelIndex());
    if (!_model->hasChildren())
        showEmpty();
}

void DownloadFileTree::removeAllFile()
{
    if (_model && _model->hasChildren())
        _model->removeRows(0, _model->rowCount(), QModelIndex());
    _allItem.clear();
    _downloading.clear();
    _rates.clear();
    if (!_model || !_model->hasChildren())
        showEmpty();
}

void DownloadFileTree::showList()
{
    _emptyImg.hide();
    _emptyText.hide();
    _tree.show();
    _foot->show();
    _tree.expandAll();
}

void DownloadFileTree::showEmpty()
{
    _emptyImg.show();
    _emptyText.show();
    _tree.hide();
    _foot->hide();
}
