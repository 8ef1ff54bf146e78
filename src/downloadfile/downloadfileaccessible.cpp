#include "downloadfileaccessible.h"

#include "downloadeventstruct.h"
#include "downloadfiledelegate.h"
#include "downloadfilemodel.h"
#include "downloadfiletext.h"
#include "downloadfiletree.h"
#include "modelitem.h"
#include "zuvochatwbconfigure.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

namespace {

ModelItemBase *itemOf(const QModelIndex &index)
{
    return index.isValid() ? static_cast<ModelItemBase *>(index.internalPointer()) : nullptr;
}

// The rows in the order they are shown, headings and records alike.
QList<QModelIndex> shownRows(const TreeView *view)
{
    QList<QModelIndex> rows;
    const QAbstractItemModel *model = view->model();
    for (QModelIndex index = model ? model->index(0, 0) : QModelIndex(); index.isValid();
         index = view->indexBelow(index))
        rows << index;
    return rows;
}

QString deleteActionName()
{
    return ZuvoChatWBConfigure::InfoDelete();
}

QString linkActionName(DownloadFileDelegate::LinkKind kind)
{
    switch (kind) {
    case DownloadFileDelegate::LinkKind::OpenInFolder: return ZuvoChatWBConfigure::WebFileOpenInFolderText();
    case DownloadFileDelegate::LinkKind::Redownload: return ZuvoChatWBConfigure::WebFileRedownloadText();
    case DownloadFileDelegate::LinkKind::None: break;
    }
    return QString();
}

// One row. Its object is the row's item, so the toolkit's cache lets go of
// the interface when the item is deleted.
class RowAccessible : public QAccessibleInterface, public QAccessibleActionInterface, public QAccessibleValueInterface
{
public:
    RowAccessible(TreeView *view, ModelItemBase *item)
        : _view(view)
        , _item(item)
    {
    }

    bool isValid() const override { return _view && _item; }
    QObject *object() const override { return _item; }
    QWindow *window() const override { return _view ? _view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(_view.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        if (t == QAccessible::Name) {
            if (const ModelItemFile *f = file())
                return accessibleText(*f);
            return DownloadFileDelegate::dateText(*static_cast<const ModelItemDate *>(_item.data()));
        }
        if (t == QAccessible::Description && file())
            return _view->toolTipOf(*file());
        return QString();
    }

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect local = _view->visualRect(index());
        return QRect(_view->viewport()->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override { return file() ? QAccessible::ListItem : QAccessible::Heading; }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const QRect shown = _view->viewport()->rect();
        s.invisible = !_view->isVisible();
        s.offscreen = !shown.intersects(_view->visualRect(index()));
        if (file()) {
            s.focusable = true;
            s.focused = _view->hasFocus() && _view->currentIndex() == index();
            s.busy = file()->status() == ModelItemFile::ModelItemStatusDownloading;
        }
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (!file())
            return nullptr;
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return nullptr;
    }

    QStringList actionNames() const override
    {
        const ModelItemFile *f = file();
        if (!f || !_view)
            return QStringList();
        QStringList names;
        const QString link = linkActionName(DownloadFileDelegate::linkKind(*f));
        if (!link.isEmpty())
            names << link;
        names << deleteActionName() << setFocusAction();
        return names;
    }

    void doAction(const QString &name) override
    {
        const ModelItemFile *f = file();
        if (!f || !_view)
            return;
        if (name == setFocusAction()) {
            _view->setFocus(Qt::OtherFocusReason);
            _view->setCurrentIndex(index());
            return;
        }
        const bool remove = name == deleteActionName();
        if (!remove && name != linkActionName(DownloadFileDelegate::linkKind(*f)))
            return;
        // After the bus has its answer, as a click would come.
        QPointer<TreeView> view = _view;
        QPointer<ModelItemBase> item = _item;
        QMetaObject::invokeMethod(
            view.data(),
            [view, item, remove] {
                const auto *record = qobject_cast<ModelItemFile *>(item.data());
                if (!view || !record)
                    return;
                ILink *link = remove ? new RemoveLink(record->key(), nullptr) : DownloadFileDelegate::newRowLink(*record);
                if (link)
                    view->activate(link);
            },
            Qt::QueuedConnection);
    }

    QStringList keyBindingsForAction(const QString &name) const override
    {
        if (name == deleteActionName())
            return QStringList(QStringLiteral("Delete"));
        if (name == setFocusAction())
            return QStringList();
        return QStringList(QStringLiteral("Return"));
    }

    QVariant currentValue() const override
    {
        const ModelItemFile *f = file();
        return f ? QVariant(double(f->downloadPercent())) : QVariant();
    }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return 100.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }

private:
    const ModelItemFile *file() const { return qobject_cast<const ModelItemFile *>(_item.data()); }
    QModelIndex index() const
    {
        const auto *model = _view ? qobject_cast<const DownloadFileModel *>(_view->model()) : nullptr;
        return model ? model->index(_item.data()) : QModelIndex();
    }

    QPointer<TreeView> _view;
    QPointer<ModelItemBase> _item;
};

// The tree itself: a list of its rows, with none of the toolkit's table
// structure (one column, no header) in the way.
class ListAccessible : public QAccessibleWidget
{
public:
    explicit ListAccessible(TreeView *view)
        : QAccessibleWidget(view, QAccessible::List)
    {
    }

    int childCount() const override { return shownRows(view()).size(); }

    QAccessibleInterface *child(int index) const override
    {
        return downloadfileaccessible::rowInterface(view(), index);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *item = child ? qobject_cast<const ModelItemBase *>(child->object()) : nullptr;
        const QList<QModelIndex> rows = shownRows(view());
        for (int i = 0; i < rows.size(); ++i) {
            if (itemOf(rows.at(i)) == item)
                return i;
        }
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint local = view()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex index = view()->indexAt(local);
        return index.isValid() ? QAccessible::queryAccessibleInterface(itemOf(index)) : nullptr;
    }

    QAccessibleInterface *focusChild() const override
    {
        if (!view()->hasFocus())
            return nullptr;
        const int row = shownRows(view()).indexOf(view()->currentIndex());
        return row < 0 ? nullptr : child(row);
    }

private:
    TreeView *view() const { return static_cast<TreeView *>(widget()); }
};

} // namespace

QAccessibleInterface *downloadfileaccessible::listInterface(TreeView *view)
{
    return new ListAccessible(view);
}

QAccessibleInterface *downloadfileaccessible::rowInterface(TreeView *view, int row)
{
    const QList<QModelIndex> rows = shownRows(view);
    return row >= 0 && row < rows.size() ? rowInterface(view, rows.at(row)) : nullptr;
}

QAccessibleInterface *downloadfileaccessible::rowInterface(TreeView *view, const QModelIndex &index)
{
    ModelItemBase *item = itemOf(index);
    if (!item)
        return nullptr;
    // The item has no interface of its own kind, so the toolkit only knows
    // one once it has been registered here.
    if (QAccessibleInterface *known = QAccessible::queryAccessibleInterface(item))
        return known;
    auto *iface = new RowAccessible(view, item);
    QAccessible::registerAccessibleInterface(iface);
    return iface;
}
