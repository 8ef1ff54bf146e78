#ifndef ZUVO_ART_GUIMARKS_H
#define ZUVO_ART_GUIMARKS_H

#include <QImage>
#include <QSize>

// The title bar's window buttons. Their two sizes are not exact doubles of
// each other, so each size gets its own pixel-aligned geometry instead of a
// scaled drawing.
enum class WindowButton { Minimize, Maximize, Restore, Close };

QSize windowButtonSize(int scale);
QImage renderWindowButton(WindowButton button, int scale);

// The delete mark of a download row, 12 x 12 units.
constexpr int deleteMarkSize = 12;
QImage renderDeleteMark(int scale);

#endif
