#pragma once

#include <QString>

// What assistive technologies see of the window's own widgets, where the
// toolkit's guess from the widget class falls short: buttons that paint
// themselves, the boxes, the zoom label and the download history's rows.
namespace accessibility {

// Once per process; later calls do nothing. Widgets that need it call it
// when they are built, so a window built anywhere (a test too) has it.
void install();

} // namespace accessibility
