#pragma once

#include "zuvochatwebbroswer_private.h"

#include <QPoint>
#include <Qt>
#include <QRect>
#include <QSize>

// Where a drag puts the window: the edges that the drag type names follow the
// pointer's displacement from the press, the others stay exactly where they
// were, and the size never falls below minimum (a named edge then stops, the
// opposite edge still stays). DragClient moves the whole rectangle. All
// rectangles are of one kind (the window's own area on the screen), so the
// result can be applied as it stands.
QRect dragGeometry(ZuvoChatWebBroswer_impl::DragType type, const QRect &start, const QPoint &displacement,
                   const QSize &minimum);

// The window edges a drag type moves: none for DragNone and DragClient.
Qt::Edges dragEdges(ZuvoChatWebBroswer_impl::DragType type);
