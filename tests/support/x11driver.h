#pragma once

#include <QImage>
#include <QList>
#include <QMargins>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

class QWidget;

// The X server as a user and a window manager see it, through the standard
// tools (xdotool, xwininfo, xprop, import, xev): which windows a process has
// mapped, where they are, which one is active, real pointer input, and
// screenshots. Coordinates are screen coordinates.
namespace x11 {

using WindowId = quint64;

// Windows of the process that are mapped (the window manager's frames aside).
QList<WindowId> visibleWindowsOf(qint64 pid);
QString windowName(WindowId window);
// The window's own area, without the window manager's frame.
QRect clientGeometry(WindowId window);
// Left, top, right and bottom widths of the frame the window manager drew.
QMargins frameExtents(WindowId window);
QRect frameGeometry(WindowId window);
// Whether the window manager has the window maximised both ways.
bool isMaximised(WindowId window);

WindowId activeWindow();
void activateWindow(WindowId window);
// Asks the window manager to move the window, as a pager would.
void moveWindow(WindowId window, const QPoint &position);

void movePointer(const QPoint &position);
void click(const QPoint &position);
void rightClick(const QPoint &position);
// Keys as xdotool names them ("Down", "Return", "F12"), to the focused window.
void pressKeys(const QStringList &keys);
void doubleClick(const QPoint &position);
// Press at from, move to to in a few steps, release there.
void drag(const QPoint &from, const QPoint &to, int steps = 5);

// The whole screen, as the X server holds it.
QImage screenshot();
// Keeps a screenshot for people to look at; returns its path.
QString keepScreenshot(const QImage &image, const QString &name);

// Watches the root window's children with xev, to tell whether any window
// was mapped between two marks. The marks are override-redirect windows of
// this process, which map without the window manager, so they show up in
// xev's output in the order the server handled them.
class MapWatcher
{
public:
    MapWatcher();
    ~MapWatcher();

    bool start(int timeoutMs);
    // Maps a marker window and waits until xev has reported it.
    bool mark(int timeoutMs);
    // Windows (other than markers) mapped or reparented between the first and
    // the last mark.
    QStringList mappedBetweenMarks() const;

private:
    QString output() const;

    QProcess _xev;
    QList<QWidget *> _markers; // owned
    mutable QByteArray _collected;
};

} // namespace x11
