#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

// Where a window opens whose saved place may be on a screen that is no
// longer there: window is the window's own area, frame the margins the
// window manager draws around it, areas the available areas of the screens.
// A window whose frame lies wholly in one area stays exactly where it is;
// otherwise it moves (and shrinks where it is larger) into the area nearest
// to its frame, frame included. With no screens nothing changes.
QRect fitOnScreens(const QRect &window, const QMargins &frame, const QList<QRect> &areas);

// The window's own area for a saved frame (what the window reports as its
// place): the frame comes back exactly where it was when it fits on a
// screen, else as fitOnScreens brings it there.
QRect windowForFrame(const QRect &savedFrame, const QMargins &frame, const QList<QRect> &areas);
