#include "windowdrag.h"

#include <QtGlobal>

Qt::Edges dragEdges(ZuvoChatWebBroswer_impl::DragType type)
{
    using Impl = ZuvoChatWebBroswer_impl;
    switch (type) {
    case Impl::DragTop:
        return Qt::TopEdge;
    case Impl::DragLeft:
        return Qt::LeftEdge;
    case Impl::DragBottom:
        return Qt::BottomEdge;
    case Impl::DragRight:
        return Qt::RightEdge;
    case Impl::DragTopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case Impl::DragTopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case Impl::DragBottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    case Impl::DragBottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    case Impl::DragNone:
    case Impl::DragClient:
        break;
    }
    return Qt::Edges();
}

QRect dragGeometry(ZuvoChatWebBroswer_impl::DragType type, const QRect &start, const QPoint &displacement,
                   const QSize &minimum)
{
    using Impl = ZuvoChatWebBroswer_impl;
    if (type == Impl::DragNone)
        return start;
    if (type == Impl::DragClient)
        return start.translated(displacement);

    const Qt::Edges edges = dragEdges(type);
    const bool movesLeft = edges & Qt::LeftEdge;
    const bool movesRight = edges & Qt::RightEdge;
    const bool movesTop = edges & Qt::TopEdge;
    const bool movesBottom = edges & Qt::BottomEdge;

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
