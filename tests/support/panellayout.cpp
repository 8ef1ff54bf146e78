#include "panellayout.h"

#include "contentlayout.h"
#include "downloadfile/downloadfilemodel.h"
#include "downloadfile/downloadfiletree.h"
#include "downloadfile/modelitem.h"
#include "zuvochatwebbroswer_private.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

PanelLayout::PanelLayout(const QSize &clientSize, const QJsonArray &records)
    : _content(new ZuvoChatWebBroswer_impl(nullptr, false))
{
    _content->setAttribute(Qt::WA_DontShowOnScreen);
    _content->resize(clientSize - QSize(2, 2));
    _content->show();
    QString listKey;
    QObject::connect(_content.get(), &ZuvoChatWebBroswer_impl::requestFileList, [&listKey](QString key) { listKey = key; });
    _content->onWebFile();
    const QJsonObject reply{{QStringLiteral("key"), listKey}, {QStringLiteral("data"), records}};
    _content->fileTree()->onRequestFileList(QJsonDocument(reply).toJson(QJsonDocument::Compact));
    QCoreApplication::sendPostedEvents();
}

PanelLayout::~PanelLayout() = default;

QRect PanelLayout::toClient(const QWidget *widget, const QRect &rect) const
{
    return QRect(widget->mapTo(_content.get(), rect.topLeft()), rect.size()).translated(ContentLayout::contentOffset());
}

QRect PanelLayout::rectOf(const char *objectName) const
{
    const QWidget *child = _content->findChild<QWidget *>(QLatin1String(objectName));
    if (!child || !child->isVisibleTo(_content.get()))
        return QRect();
    return toClient(child->parentWidget(), child->geometry());
}

QRect PanelLayout::recordRect(const QString &key) const
{
    QRect row;
    DownloadFileDelegate::RowGeometry geometry;
    return rowOf(key, &row, &geometry) ? row : QRect();
}

QRect PanelLayout::linkRect(const QString &key) const
{
    QRect row;
    DownloadFileDelegate::RowGeometry geometry;
    return rowOf(key, &row, &geometry) ? geometry.link : QRect();
}

QRect PanelLayout::deleteMarkRect(const QString &key) const
{
    QRect row;
    DownloadFileDelegate::RowGeometry geometry;
    return rowOf(key, &row, &geometry) ? geometry.deleteMark : QRect();
}

bool PanelLayout::rowOf(const QString &key, QRect *row, DownloadFileDelegate::RowGeometry *geometry) const
{
    DownloadFileTree *tree = _content->fileTree();
    ModelItemFile *record = tree->record(key);
    if (!record)
        return false;
    TreeView *view = tree->treeView();
    const QRect viewportRow = view->visualRect(tree->model()->index(record));
    *geometry = static_cast<DownloadFileDelegate *>(view->itemDelegate())->rowGeometry(viewportRow, *record);
    *row = toClient(view->viewport(), viewportRow);
    geometry->link = geometry->link.isNull() ? QRect() : toClient(view->viewport(), geometry->link);
    geometry->deleteMark = toClient(view->viewport(), geometry->deleteMark);
    return true;
}

QRect PanelLayout::removalConfirmRect(bool all) const
{
    if (all)
        _content->onRemoveAllDownloadFile(QStringLiteral("k"));
    else
        _content->onRemoveDownloadFile(QStringLiteral("k"), QStringLiteral("f"));
    QCoreApplication::sendPostedEvents();
    const QRect rect = rectOf("confirmButton");
    _content->hideBG();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return rect;
}
