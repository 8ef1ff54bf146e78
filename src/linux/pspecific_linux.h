#pragma once

#include <QMargins>
#include <QRect>
#include <QString>

class QProcessEnvironment;
class QScreen;
class QWidget;

// The platform layer: one source file per platform, only Linux is built.
QString psServerPrefix();
const char *cGUIDStr();
void activateProgram(quint64 windowId);

// The screen's logical DPI, by which the window scales itself. On X11 without
// Xft.dpi in the desktop's resources (nor QT_FONT_DPI) that is the X screen's
// own DPI, as Qt 5 reports it; Qt 6 reports 96 there instead.
double psLogicalDpi(const QScreen *screen);

// The session bus a process of the browser may use: the desktop's, or, when
// the desktop has none, an address that connects nowhere. With no address
// at all, D-Bus clients start a bus of their own (under X11 by dbus-launch),
// which outlives the browser and writes under the home folder.
QString psSessionBusAddress(const QProcessEnvironment &environment);

// Whether a top-level window can put itself where it wants on the screen.
// Not on Wayland: there the compositor alone places windows, moves and
// resizes them only when the client hands it the user's press, and tells no
// client where its window is.
bool psWindowPlacesItself();

// The window with the frame its window manager drew, in screen coordinates.
// The toolkit reads the frame once and may do so while the window manager is
// still building it, then reports a frame smaller than the window until the
// window next moves; on X11 the frame the window manager publishes on the
// window is used instead. Null while no trustworthy frame is known.
QRect psFrameGeometry(const QWidget *window);
// Asks the window manager which frame it will draw around a window that is
// not mapped yet, and waits at most timeoutMs for the answer. Null margins
// when it does not answer or the platform has no such request.
QMargins psExpectedFrameMargins(const QWidget *window, int timeoutMs);
