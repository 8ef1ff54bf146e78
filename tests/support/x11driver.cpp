#include "x11driver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QRegularExpression>
#include <QWidget>

namespace x11 {

namespace {

const int toolTimeoutMs = 10000;

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(toolTimeoutMs)) {
        qWarning("%s did not finish", qPrintable(program));
        process.kill();
        process.waitForFinished();
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

QByteArray xdotool(const QStringList &arguments)
{
    return run(QStringLiteral("xdotool"), arguments);
}

QString number(int value)
{
    return QString::number(value);
}

int field(const QString &text, const QString &label)
{
    const QRegularExpression pattern(QRegularExpression::escape(label) + QStringLiteral(":\\s*(-?\\d+)"));
    return pattern.match(text).captured(1).toInt();
}

WindowId hexWindow(const QString &text)
{
    return text.toULongLong(nullptr, 16);
}

} // namespace

QList<WindowId> visibleWindowsOf(qint64 pid)
{
    const QString output = QString::fromLatin1(
        xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                 QString::number(pid)}));
    QList<WindowId> windows;
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines)
        windows.append(line.trimmed().toULongLong());
    return windows;
}

QString windowName(WindowId window)
{
    return QString::fromUtf8(xdotool({QStringLiteral("getwindowname"), QString::number(window)})).trimmed();
}

QRect clientGeometry(WindowId window)
{
    // xwininfo's absolute position is the window's own origin; xdotool's
    // getwindowgeometry adds the frame offset a second time under openbox.
    const QString info =
        QString::fromLatin1(run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)}));
    if (info.isEmpty())
        return QRect();
    return QRect(field(info, QStringLiteral("Absolute upper-left X")), field(info, QStringLiteral("Absolute upper-left Y")),
                 field(info, QStringLiteral("Width")), field(info, QStringLiteral("Height")));
}

QMargins frameExtents(WindowId window)
{
    const QString text = QString::fromLatin1(
        run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_FRAME_EXTENTS")}));
    const int equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return QMargins();
    const QStringList parts = text.mid(equals + 1).split(QLatin1Char(','));
    if (parts.size() != 4)
        return QMargins();
    // The property's order is left, right, top, bottom.
    return QMargins(parts[0].trimmed().toInt(), parts[2].trimmed().toInt(), parts[1].trimmed().toInt(),
                    parts[3].trimmed().toInt());
}

QRect frameGeometry(WindowId window)
{
    return clientGeometry(window).marginsAdded(frameExtents(window));
}

bool isMaximised(WindowId window)
{
    const QString text = QString::fromLatin1(
        run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_WM_STATE")}));
    return text.contains(QLatin1String("_NET_WM_STATE_MAXIMIZED_VERT")) &&
           text.contains(QLatin1String("_NET_WM_STATE_MAXIMIZED_HORZ"));
}

WindowId activeWindow()
{
    return xdotool({QStringLiteral("getactivewindow")}).trimmed().toULongLong();
}

void activateWindow(WindowId window)
{
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window)});
}

void moveWindow(WindowId window, const QPoint &position)
{
    xdotool({QStringLiteral("windowmove"), QString::number(window), number(position.x()), number(position.y())});
}

void movePointer(const QPoint &position)
{
    // No --sync: it waits for a motion that never comes when the pointer is
    // already there. XTest input is handled in order anyway.
    xdotool({QStringLiteral("mousemove"), number(position.x()), number(position.y())});
}

void click(const QPoint &position)
{
    xdotool({QStringLiteral("mousemove"), number(position.x()), number(position.y()), QStringLiteral("click"),
             QStringLiteral("1")});
}

void rightClick(const QPoint &position)
{
    xdotool({QStringLiteral("mousemove"), number(position.x()), number(position.y()), QStringLiteral("click"),
             QStringLiteral("3")});
}

void pressKeys(const QStringList &keys)
{
    xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("50")} + keys);
}

void doubleClick(const QPoint &position)
{
    xdotool({QStringLiteral("mousemove"), number(position.x()), number(position.y()), QStringLiteral("click"),
             QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"), QStringLiteral("80"),
             QStringLiteral("1")});
}

void drag(const QPoint &from, const QPoint &to, int steps)
{
    QStringList arguments{QStringLiteral("mousemove"), number(from.x()), number(from.y()), QStringLiteral("mousedown"),
                          QStringLiteral("1")};
    for (int step = 1; step <= steps; ++step) {
        const QPoint at = from + (to - from) * step / steps;
        arguments << QStringLiteral("sleep") << QStringLiteral("0.05") << QStringLiteral("mousemove")
                  << number(at.x()) << number(at.y());
    }
    arguments << QStringLiteral("sleep") << QStringLiteral("0.05") << QStringLiteral("mouseup") << QStringLiteral("1");
    xdotool(arguments);
}

QImage screenshot()
{
    return QImage::fromData(run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                           QStringLiteral("png:-")}),
                            "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

QString keepScreenshot(const QImage &image, const QString &name)
{
    QString dir = qEnvironmentVariable("ZUVO_SCREENSHOT_DIR");
    if (dir.isEmpty())
        dir = QDir::temp().filePath(QStringLiteral("zuvo-e2e-screenshots"));
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    image.save(path, "PNG");
    qInfo("screenshot: %s", qPrintable(path));
    return path;
}

MapWatcher::MapWatcher() = default;

MapWatcher::~MapWatcher()
{
    if (_xev.state() != QProcess::NotRunning) {
        _xev.kill();
        _xev.waitForFinished();
    }
    qDeleteAll(_markers);
}

bool MapWatcher::start(int timeoutMs)
{
    _xev.start(QStringLiteral("xev"), {QStringLiteral("-root"), QStringLiteral("-event"), QStringLiteral("substructure")});
    return _xev.waitForStarted(timeoutMs) && mark(timeoutMs);
}

bool MapWatcher::mark(int timeoutMs)
{
    auto *marker = new QWidget(nullptr, Qt::X11BypassWindowManagerHint | Qt::FramelessWindowHint | Qt::Tool);
    marker->setGeometry(0, 0, 1, 1);
    _markers.append(marker);
    const QString reported = QStringLiteral("window 0x%1, override YES").arg(marker->winId(), 0, 16);
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        // xev may not be listening yet, so a map it missed is done again.
        marker->hide();
        marker->show();
        QDeadlineTimer retry(300);
        while (!retry.hasExpired()) {
            QCoreApplication::processEvents();
            if (output().contains(reported))
                return true;
            _xev.waitForReadyRead(20);
        }
    }
    qWarning("xev never reported the marker 0x%llx; it printed:\n%s", marker->winId(),
             qPrintable(output().right(2000)));
    return false;
}

QString MapWatcher::output() const
{
    _collected += const_cast<QProcess &>(_xev).readAllStandardOutput();
    return QString::fromLatin1(_collected);
}

QStringList MapWatcher::mappedBetweenMarks() const
{
    if (_markers.size() < 2)
        return {};
    const WindowId first = _markers.first()->winId();
    const WindowId last = _markers.last()->winId();
    QList<WindowId> markerIds;
    for (const QWidget *marker : _markers)
        markerIds.append(marker->winId());

    // xev prints one block per event; the second "window" of a block is the
    // window the event is about, the first the one it was reported on.
    const QStringList blocks = output().split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
    const QRegularExpression windowPattern(QStringLiteral("window 0x([0-9a-f]+)"));
    enum { BeforeFirst, Between, AfterLast } stage = BeforeFirst;
    QStringList mapped;
    for (const QString &block : blocks) {
        const QString kind = block.trimmed().section(QLatin1Char(' '), 0, 0);
        if (kind != QLatin1String("MapNotify") && kind != QLatin1String("ReparentNotify"))
            continue;
        QRegularExpressionMatchIterator matches = windowPattern.globalMatch(block);
        if (matches.hasNext())
            matches.next();
        if (!matches.hasNext())
            continue;
        const WindowId subject = hexWindow(matches.next().captured(1));
        if (subject == first && stage == BeforeFirst)
            stage = Between;
        else if (subject == last)
            stage = AfterLast;
        else if (!markerIds.contains(subject) && stage == Between)
            mapped.append(kind + QStringLiteral(" of 0x") + QString::number(subject, 16));
    }
    return mapped;
}

} // namespace x11
