#include "pagecompositor.h"

#include "keyboardlayout.h"
#include "pagetextinput.h"
#include "zuvolog.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QScreen>
#include <QWaylandCompositor>
#include <QWaylandKeymap>
#include <QWaylandOutput>
#include <QWaylandOutputMode>
#include <QWaylandSeat>
#include <QWaylandXdgShell>
#include <QWindow>
#include <QtMath>

#include <wayland-server-core.h>


namespace {

int compositorsMade = 0;

} // namespace

void PageCompositor::prepareRuntimeFolder()
{
    // The compositor's socket, and the helper's own files, go into the
    // user's runtime folder; a session without one (root under CI, say)
    // gets a private folder for this process's life.
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    static QTemporaryDir runtimeFolder(QDir::tempPath() + QStringLiteral("/zuvochat-runtime-XXXXXX"));
    if (!runtimeFolder.isValid())
        return;
    QFile::setPermissions(runtimeFolder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder.path()));
}

PageCompositor::PageCompositor(QObject *parent)
    : QObject(parent)
    , _compositor(new QWaylandCompositor(this))
    , _shell(new QWaylandXdgShell(_compositor))
    // An output needs a window to follow; the page has none of its own here,
    // so this one stands for the screen and is never shown.
    , _outputWindow(new QWindow)
{
    // Shared memory only: no GL buffer sharing offered to the helper.
    _compositor->setUseHardwareIntegrationExtension(false);
    // The helper and its web processes connect here. A name of its own keeps
    // clients that look for a desktop's default socket away from it.
    _compositor->setSocketName(QByteArrayLiteral("zuvochat-page-") + QByteArray::number(QCoreApplication::applicationPid())
                               + '-' + QByteArray::number(++compositorsMade));
    prepareRuntimeFolder();
    _compositor->create();
    initializeExtensionsNow();
    _textInput = std::make_unique<PageTextInput>(_compositor);
    _output = new QWaylandOutput(_compositor, _outputWindow);
    _output->setSizeFollowsWindow(false);
    const QSize screenSize = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size()
                                                              : QSize(1920, 1080);
    const QWaylandOutputMode mode(screenSize, 60000);
    _output->addMode(mode, true);
    _output->setCurrentMode(mode);
    _compositor->setDefaultOutput(_output);
    // The helper's window takes the scale it starts with.
    useDevicePixelRatio(qApp->devicePixelRatio());

    useLayoutOfDisplay();
    offerClipboard();
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &PageCompositor::offerClipboard);
    // The seat hands a client that gains the keys only selections that
    // clients own, not this compositor's own offer: a page focused after the
    // clipboard changed (by a click after the title bar had the keys) would
    // paste nothing.
    connect(seat(), &QWaylandSeat::keyboardFocusChanged, this, &PageCompositor::offerClipboard);
    connect(_shell, &QWaylandXdgShell::toplevelCreated, this, &PageCompositor::toplevelCreated);
    connect(_shell, &QWaylandXdgShell::popupCreated, this, &PageCompositor::popupCreated);
}

PageCompositor::~PageCompositor()
{
    _textInput.reset();
    delete _compositor;
    delete _outputWindow;
    // libwayland closed the early helper's socket with the display; its
    // name is this compositor's to remove.
    if (!_adoptedSocketPath.isEmpty())
        QFile::remove(_adoptedSocketPath);
}

void PageCompositor::initializeExtensionsNow()
{
    // An extension finishes setting up from an event it posts to itself.
    // Newer shells make their dialog global that way inside their own set-up
    // and give it no parent, so it outlives a compositor that ends before the
    // event loop runs (a window made and dropped at once), and then sets up
    // on a display that no longer exists. It cannot be named from here.
    // Twice: the events posted while the first ones are delivered, the
    // dialog global's among them, wait for the next delivery.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::Polish);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::Polish);
}

void PageCompositor::offerClipboard()
{
    // The page pastes what the desktop's clipboard holds; without an offer
    // the helper's clipboard stays empty. GTK asks for text by its UTF-8
    // type, which the desktop's own offer need not name.
    auto offered = std::make_unique<QMimeData>();
    if (const QMimeData *held = QGuiApplication::clipboard()->mimeData()) {
        if (held->hasText()) {
            const QByteArray text = held->text().toUtf8();
            offered->setData(QStringLiteral("text/plain;charset=utf-8"), text);
            offered->setData(QStringLiteral("text/plain"), text);
        }
        if (held->hasFormat(QStringLiteral("image/png")))
            offered->setData(QStringLiteral("image/png"), held->data(QStringLiteral("image/png")));
    }
    _compositor->overrideSelection(offered.get());
    _clipboardOffer = std::move(offered);
}

void PageCompositor::useLayoutOfDisplay()
{
    // Keys arrive with the X server's key codes; without this the helper
    // would read them with a US layout whatever the user's is.
    const KeyboardLayout layout = KeyboardLayout::ofDisplay();
    if (layout.layout.isEmpty())
        return;
    QWaylandKeymap *keymap = seat()->keymap();
    keymap->setRules(layout.rules);
    keymap->setModel(layout.model);
    keymap->setLayout(layout.layout);
    keymap->setVariant(layout.variant);
    keymap->setOptions(layout.options);
}

QWaylandSeat *PageCompositor::seat() const
{
    return _compositor->defaultSeat();
}

void PageCompositor::useDevicePixelRatio(qreal ratio)
{
    // Wayland scales are whole numbers; a fractional ratio gets the next one
    // up, and the painter scales down rather than up.
    const int scale = qMax(1, qCeil(ratio));
    if (_output->scaleFactor() != scale)
        _output->setScaleFactor(scale);
}

void PageCompositor::listenOn(int listeningSocket, const QString &path)
{
    _compositor->addSocketDescriptor(listeningSocket);
    _adoptedSocketPath = path;
}

void PageCompositor::sendQueuedEvents()
{
    wl_display_flush_clients(_compositor->display());
}

QString PageCompositor::socketName() const
{
    return QString::fromUtf8(_compositor->socketName());
}
