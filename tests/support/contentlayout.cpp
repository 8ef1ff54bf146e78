#include "contentlayout.h"

#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer_private.h"

#include <QCoreApplication>

namespace {

const char *const titleBarItems[] = {"logo",        "webFileBack", "refresh",      "storeToZuvo",
                                     "shareToFriend", "webFile",   "checkChannel", "openOutside"};

} // namespace

ContentLayout::ContentLayout(const QSize &clientSize)
    : _content(new ZuvoChatWebBroswer_impl(nullptr, false))
{
    // Shown so that visibility and pending resizes behave as in the browser,
    // but never mapped on the screen the browser is tested on.
    _content->setAttribute(Qt::WA_DontShowOnScreen);
    _content->resize(clientSize - QSize(2, 2));
    _content->show();
    QCoreApplication::sendPostedEvents();
}

ContentLayout::~ContentLayout() = default;

int ContentLayout::titleHeight() const
{
    return ZuvoChatWBConfigure::TitleHeight();
}

QRect ContentLayout::rectOf(const char *objectName) const
{
    const QWidget *child = _content->findChild<QWidget *>(QLatin1String(objectName));
    if (!child || child->isHidden())
        return QRect();
    return child->geometry().translated(contentOffset());
}

QPoint ContentLayout::centreOf(const char *objectName) const
{
    return rectOf(objectName).center();
}

QPoint ContentLayout::emptyTitleBarSpot() const
{
    int right = 0;
    for (const char *item : titleBarItems) {
        const QRect rect = rectOf(item);
        if (!rect.isEmpty())
            right = qMax(right, rect.right());
    }
    return QPoint(right + 20, contentOffset().y() + titleHeight() / 2);
}

QPoint ContentLayout::rightEdgeSpot() const
{
    // The zone is the last five pixels of the content widget; three in is
    // clear of both its ends.
    return QPoint(contentOffset().x() + _content->width() - 3, contentOffset().y() + titleHeight() / 2);
}

QPoint ContentLayout::bottomLeftCornerSpot() const
{
    // The page covers all but the content widget's last row there, which is
    // the only part of the corner zone a press reaches.
    return contentOffset() + QPoint(3, _content->height() - 1);
}

QRect ContentLayout::messageBoxRect(const QString &text) const
{
    return boxChildRect(text, true);
}

QRect ContentLayout::messageBoxButtonRect(const QString &text) const
{
    return boxChildRect(text, false);
}

QRect ContentLayout::boxChildRect(const QString &text, bool wholeBox) const
{
    _content->showInfo(text);
    QCoreApplication::sendPostedEvents();
    const InformBox *box = _content->findChild<InformBox *>();
    QRect rect;
    if (box) {
        const QWidget *button = box->findChild<QWidget *>(QStringLiteral("confirmButton"));
        rect = wholeBox ? box->geometry() : button->geometry().translated(box->pos());
        rect.translate(contentOffset());
    }
    _content->hideBG();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return rect;
}

QRect ContentLayout::originLabelRect() const
{
    return _content->originLabelRect().translated(contentOffset());
}
