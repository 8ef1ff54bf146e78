#ifndef ZUVO_ART_EMPTYPANEL_H
#define ZUVO_ART_EMPTYPANEL_H

#include <QImage>

// The picture of the download panel when it has no files yet: an empty tray
// with a download arrow coming into it. Drawn in a 214-unit grid.
constexpr int emptyPanelSize = 214;

QImage renderEmptyPanel(int scale);

#endif
