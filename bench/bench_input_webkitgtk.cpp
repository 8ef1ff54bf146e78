// What a user of the WebKitGTK browser sees against a bare WebKitGTK window
// with the same settings (bench_bare_webkitgtk), both measured in the same
// run, from outside, on the X server alike:
// - a key press to visible change: XTest presses a key into a focused
//   <input> and the window's pixels are read back until they change;
// - animation frames: a page moves a box on every requestAnimationFrame and
//   reports how many frames it ran a second, while the window's pixels are
//   sampled to count how many of them reached the screen.
// The pages report through the bridge's postLog in the browser and through
// their title in the bare window. Run on an X server with a window manager:
//   scripts/with-x.sh build/bench/bench_input_webkitgtk BROWSER BARE-WINDOW
// with build/src/zuvochatwebbroswer-webkitgtk and build/bench/bench_bare_webkitgtk.
#include "browserrun.h"
#include "median.h"
#include "processbench.h"
#include "x11driver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kPresses = 21;
constexpr int kTimeoutMs = 30000;
constexpr int kCountMs = 3000;
constexpr int kStripWidth = 100;
const QString kReportPrefix = QStringLiteral("bench:");

// Reports through whichever route the program offers.
const QByteArray kReportScript = QByteArrayLiteral(R"(<script>
function report(text) {
    document.title = 'bench:' + text;
    if (window.zuvowebkitbridge)
        window.zuvowebkitbridge.postLog('bench:' + text);
}
</script>)");

// The caret is not drawn (its blinking would change pixels on its own) and
// focus draws no ring.
QByteArray inputPage()
{
    return QByteArrayLiteral(R"(<!doctype html><html><head><style>
body { margin: 0; }
input { font: 40px monospace; width: 100%; height: 100vh; border: 0; outline: none; caret-color: transparent; }
</style></head><body><input id="field">)") + kReportScript + QByteArrayLiteral(R"(<script>
document.getElementById('field').addEventListener('focus', function () { report('focused'); });
window.addEventListener('load', function () { setTimeout(function () { report('ready'); }, 0); });
</script></body></html>)");
}

// Runs longer than the bench counts, so the count falls inside the animation.
QByteArray framesPage()
{
    return QByteArrayLiteral(R"(<!doctype html><html><head><style>
body { margin: 0; }
#box { position: absolute; width: 120px; height: 120px; background: #3366cc; }
</style></head><body><div id="box"></div>)") + kReportScript + QByteArrayLiteral(R"(<script>
var box = document.getElementById('box'), frames = 0, start = null;
function frame(now) {
    if (start === null)
        start = now;
    else
        ++frames;
    box.style.transform = 'translate(' + (frames % 300) + 'px, ' + (frames % 200) + 'px)';
    if (now - start < 5000)
        requestAnimationFrame(frame);
    else
        report('frames ' + (frames * 1000 / (now - start)).toFixed(1));
}
window.addEventListener('load', function () {
    setTimeout(function () { report('animating'); requestAnimationFrame(frame); }, 500);
});
</script></body></html>)");
}

// A program showing one bench page, and what the page reported so far.
class Shown
{
public:
    virtual ~Shown() = default;
    virtual qint64 pid() const = 0;
    virtual QStringList reports() = 0;

    // Waits for the page's report starting with what; its rest, or a null string.
    QString waitFor(const QString &what)
    {
        QDeadlineTimer deadline(kTimeoutMs);
        while (!deadline.hasExpired()) {
            for (const QString &report : reports()) {
                if (report.startsWith(what))
                    return report.mid(what.size()).trimmed();
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
        return QString();
    }
};

class ShownInBrowser : public Shown
{
public:
    ShownInBrowser(const QString &executable, const QUrl &page)
        : _browser(executable)
    {
        if (_browser.start(kTimeoutMs))
            _browser.showUrl(page);
    }
    qint64 pid() const override { return _browser.pid(); }
    QStringList reports() override
    {
        QStringList found;
        for (const QString &log : _browser.texts(QStringLiteral("receiveLog"))) {
            if (log.startsWith(kReportPrefix))
                found.append(log.mid(kReportPrefix.size()));
        }
        return found;
    }

private:
    BrowserRun _browser;
};

class ShownBare : public Shown
{
public:
    ShownBare(const QString &executable, const QUrl &page)
    {
        _process.start(executable, {QStringLiteral("--titles"), page.toString()});
    }
    ~ShownBare() override
    {
        _process.kill();
        _process.waitForFinished();
    }
    qint64 pid() const override { return _process.processId(); }
    QStringList reports() override
    {
        while (_process.canReadLine()) {
            const QString line = QString::fromUtf8(_process.readLine()).trimmed();
            if (line.startsWith(kReportPrefix))
                _reports.append(line.mid(kReportPrefix.size()));
        }
        return _reports;
    }

private:
    QProcess _process;
    QStringList _reports;
};

// The window's pixels as the X server holds them, read on a connection of
// this program's own.
class ScreenReader
{
public:
    ScreenReader()
        : _display(XOpenDisplay(nullptr))
    {
    }
    ~ScreenReader()
    {
        if (_display)
            XCloseDisplay(_display);
    }
    bool isOpen() const { return _display; }

    QByteArray grab(const QRect &area) const
    {
        XImage *image = XGetImage(_display, DefaultRootWindow(_display), area.x(), area.y(), unsigned(area.width()),
                                  unsigned(area.height()), AllPlanes, ZPixmap);
        if (!image)
            return QByteArray();
        QByteArray pixels(image->data, image->bytes_per_line * image->height);
        XDestroyImage(image);
        return pixels;
    }

    // The pixels once two grabs a while apart agree.
    QByteArray settled(const QRect &area) const
    {
        QByteArray last = grab(area);
        for (int tries = 0; tries < 50; ++tries) {
            QThread::msleep(60);
            QByteArray now = grab(area);
            if (now == last)
                break;
            last = now;
        }
        return last;
    }

    void key(KeySym symbol, bool pressed) const
    {
        XTestFakeKeyEvent(_display, XKeysymToKeycode(_display, symbol), pressed, CurrentTime);
        XSync(_display, False);
    }

private:
    Display *_display;
};

std::unique_ptr<Shown> show(const QString &executable, const QUrl &page, bool inBrowser)
{
    if (inBrowser)
        return std::make_unique<ShownInBrowser>(executable, page);
    return std::make_unique<ShownBare>(executable, page);
}

double failed(const char *why)
{
    std::fprintf(stderr, "%s\n", why);
    return -1;
}

// The window the program mapped, activated and clicked in its middle, where
// the page is.
QRect focusWindowOf(Shown &shown)
{
    QDeadlineTimer deadline(kTimeoutMs);
    QList<x11::WindowId> windows;
    while (windows.isEmpty() && !deadline.hasExpired()) {
        QThread::msleep(50);
        windows = x11::visibleWindowsOf(shown.pid());
    }
    if (windows.isEmpty())
        return QRect();
    x11::activateWindow(windows.first());
    const QRect area = x11::clientGeometry(windows.first());
    x11::click(area.center());
    return area;
}

// Median milliseconds from a key press to the first change on screen, typing
// and erasing a character in turn; the number of presses that changed nothing
// within a second goes to missed. The field gets its focus from the click, so
// its report comes after the page's first one. Only the window's left strip,
// where the character appears, is read back: a whole window takes a few
// milliseconds to read, which would be the resolution.
double keyToPixels(const QString &executable, const QUrl &page, bool inBrowser, int &missed)
{
    const std::unique_ptr<Shown> shown = show(executable, page, inBrowser);
    if (shown->waitFor(QStringLiteral("ready")).isNull())
        return failed("the input page did not load");
    const QRect window = focusWindowOf(*shown);
    if (window.isEmpty() || shown->waitFor(QStringLiteral("focused")).isNull())
        return failed("the input field got no focus");
    const QRect area(window.topLeft(), QSize(std::min(window.width(), kStripWidth), window.height()));
    ScreenReader screen;
    std::vector<double> times;
    missed = 0;
    for (int press = 0; press < kPresses; ++press) {
        const KeySym symbol = press % 2 ? XK_BackSpace : XK_x;
        const QByteArray before = screen.settled(area);
        QElapsedTimer clock;
        clock.start();
        screen.key(symbol, true);
        while (screen.grab(area) == before && clock.elapsed() < 1000) {
        }
        const double ms = clock.nsecsElapsed() / 1e6;
        screen.key(symbol, false);
        if (ms < 1000)
            times.push_back(ms);
        else
            ++missed;
    }
    return median(times);
}

struct Frames {
    double page = -1;   // requestAnimationFrame callbacks a second
    double screen = -1; // distinct pictures on screen a second
};

Frames framesPerSecond(const QString &executable, const QUrl &page, bool inBrowser)
{
    const std::unique_ptr<Shown> shown = show(executable, page, inBrowser);
    Frames frames;
    if (shown->waitFor(QStringLiteral("animating")).isNull()) {
        failed("the animation did not start");
        return frames;
    }
    const QRect area = focusWindowOf(*shown);
    ScreenReader screen;
    // Sampled every 2 ms: each frame of a 60 Hz animation is seen, and this
    // program leaves the processes it measures a core.
    QByteArray last = screen.grab(area);
    int changes = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kCountMs) {
        QThread::usleep(2000);
        QByteArray now = screen.grab(area);
        if (now != last)
            ++changes;
        last = now;
    }
    frames.screen = changes * 1000.0 / clock.elapsed();
    const QString report = shown->waitFor(QStringLiteral("frames"));
    if (!report.isNull())
        frames.page = report.toDouble();
    return frames;
}

} // namespace

int main(int argc, char **argv)
{
    // The browser's window is what is measured, whatever platform the caller's
    // environment names for its other programs.
    qputenv("QT_QPA_PLATFORM", "xcb");
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BROWSER-EXECUTABLE BARE-WEBKITGTK-WINDOW\n", argv[0]);
        return 2;
    }
    if (!ScreenReader().isOpen()) {
        std::fprintf(stderr, "no X server\n");
        return 1;
    }
    ProcessBench bench;
    if (!bench.setUp(argv[1]))
        return 1;
    bench.server.setPage("/input", inputPage());
    bench.server.setPage("/frames", framesPage());
    const QUrl input = bench.server.url(QStringLiteral("/input"));
    const QUrl animation = bench.server.url(QStringLiteral("/frames"));
    const QString bare = QString::fromLocal8Bit(argv[2]);

    int missedBrowser = 0;
    int missedBare = 0;
    const double browserKey = keyToPixels(bench.executable, input, true, missedBrowser);
    const double bareKey = keyToPixels(bare, input, false, missedBare);
    std::printf("key press to visible change, median of %d    browser %6.1f ms (%d missed)   bare window %6.1f ms "
                "(%d missed)\n",
                kPresses, browserKey, missedBrowser, bareKey, missedBare);
    std::fflush(stdout);

    const Frames browserFrames = framesPerSecond(bench.executable, animation, true);
    const Frames bareFrames = framesPerSecond(bare, animation, false);
    std::printf("animation frames a second, page's own count  browser %6.1f      bare window %6.1f\n",
                browserFrames.page, bareFrames.page);
    std::printf("animation frames a second, seen on screen    browser %6.1f      bare window %6.1f\n",
                browserFrames.screen, bareFrames.screen);
    return browserKey < 0 || bareKey < 0 || browserFrames.page < 0 || bareFrames.page < 0 ? 1 : 0;
}
