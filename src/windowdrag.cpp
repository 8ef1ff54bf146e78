#include "windowdrag.h"

#include <QtGlobal>

QRect dragGeometry(ZuvoChatWebBroswer_impl::DragType type, const QRect &start, const QPoint &displacement,
                   const QSize &minimum)
{
    using Impl = ZuvoChatWebBroswer_impl;
    if (type == Impl::DragNone)
        return start;
    if (type == Impl::DragClient)
        return start.translated(displacement);

    const bool movesLeft = type == Impl::DragLeft || type == Impl::DragTopLeft || type == Impl::DragBottomLeft;
    const bool movesRight = type == Impl::DragRight || type == Impl::DragTopRight || type == Impl::DragBottomRight;
    const bool movesTop = type == Impl::DragTop || type == Impl::DragTopLeft || type == Impl::DragTopRight;
    const bool movesBottom = type == Impl::DragBottom || type == Impl::DragBottomLeft || type == Impl::DragBottomRight;

    int width = start.width();
    if (movesLeft)
        width = qMax(start.width() - displacement.x(), minimum.width());
    else if (movesRight)
        width = qMax(start.width() + displacement.x(), minimum.width());
    int height = start.height();
    if (movesTop)
        height = qMax(start.height() - displacement.y(), minimum.height());
    else if (movesBottom)
        height = qMax(start.height() + displacement.y(), minimum.height());

    const int x = movesLeft ? start.right() + 1 - width : start.left();
    const int y = movesTop ? start.bottom() + 1 - height : start.top();
    return QRect(x, y, width, height);
}
