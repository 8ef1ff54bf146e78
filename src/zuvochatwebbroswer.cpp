#include "zuvochatwebbroswer.h"

#include "accessibility.h"
#include "linux/pspecific_linux.h"
#include "screenfit.h"
#include "transport/transport.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer_private.h"
#include "zuvolog.h"

#include <QBitmap>
#include <QDateTime>
#include <QDebug>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QThread>
#include <QUuid>
#include <QWindow>

namespace {

ZuvoChatWebBroswer *_webView = nullptr;
QMutex _mutex;

// Pages that fire the same download twice in a row should open one dialog.
constexpr quint64 kDownloadRepeatMs = 300;

QString newRequestId()
{
    return QUuid::createUuid().toString().remove(QRegularExpression(QStringLiteral("[{}-]")));
}

// The host hands back the frame the window reported, so the window manager's
// frame goes inside it. A saved place may be on a monitor since unplugged or
// beyond a resolution since lowered, where the user could never reach the window.
QRect placeOnScreens(const QWidget *window, const QRect &savedFrame)
{
    // Long enough for a window manager that answers, short enough not to
    // hold the first page back where none does.
    constexpr int frameAnswerMs = 200;
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    return windowForFrame(savedFrame, psExpectedFrameMargins(window, frameAnswerMs), areas);
}

// What a position report gives. Where the compositor alone knows where the
// window is, the host gets its own position back with the window's real
// size, so that a host feeding reports back sees no drift.
QRect reportedFrame(const QWidget *window)
{
    if (!psWindowPlacesItself())
        return QRect(ZuvoChatWBConfigure::HostPosition(), window->size());
    return psFrameGeometry(window);
}

// A page's dialog and its wait for the host run event loops with the window
// and its page below them on the stack, and the host link may end inside
// either. The window is deleted only once all of them have returned.
void deleteOnceIdle(QPointer<ZuvoChatWebBroswer> window)
{
    QTimer::singleShot(10, [window] {
        if (!window)
            return;
        if (QThread::currentThread()->loopLevel() > 1 || window->impl()->isWaitingForHost())
            deleteOnceIdle(window);
        else
            window->deleteLater();
    });
}

} // namespace

ZuvoChatWebBroswer::ZuvoChatWebBroswer(QWidget *parent, bool maxsized)
    : QWidget(parent, Qt::WindowFlags())
    , _maximized(maxsized)
{
    accessibility::install();
    _impl = new ZuvoChatWebBroswer_impl(this, maxsized);
    _impl->move(1, 1);
    setMinimumSize(100, 100);
    setAttribute(Qt::WA_TranslucentBackground);

    connectContent();

    setWindowTitle(ZuvoChatWBConfigure::Title());
    setWindowIcon(QIcon(*ZuvoChatWBConfigure::WindowIcon()));

    // Empty, so the first frame known is reported even when it is the one
    // the host sent: the host learns where the window really came up.
    _savePosTimer.setInterval(1000);
    _savePosTimer.setSingleShot(false);
    connect(&_savePosTimer, &QTimer::timeout, this, &ZuvoChatWebBroswer::onSavePos);
}

ZuvoChatWebBroswer::~ZuvoChatWebBroswer()
{
    if (_webView == this)
        _webView = nullptr;
}

void ZuvoChatWebBroswer::connectContent()
{
    using Impl = ZuvoChatWebBroswer_impl;
    using Self = ZuvoChatWebBroswer;
    connect(_impl, &Impl::closeClicked, this, &Self::onClosed);
    connect(_impl, &Impl::miniSizeClicked, this, &Self::onMiniSize);
    connect(_impl, &Impl::maxSizeClicked, this, &Self::onMaxSize);
    connect(_impl, &Impl::restoreClicked, this, &Self::onRestore);
    connect(_impl, &Impl::clearWindowState, this, &Self::onClearWindowState);
    connect(_impl, &Impl::refresh, this, &Self::onRefresh);
    connect(_impl, &Impl::storeToZuvo, this, &Self::onStoreToZuvo);
    connect(_impl, &Impl::shareToFriend, this, &Self::onShareToFriend);
    connect(_impl, &Impl::channel, this, &Self::onChannel);
    connect(_impl, &Impl::goToChannel, this, &Self::onGoToChannel);
    connect(_impl, &Impl::openOutside, this, &Self::onOpenOutside);
    connect(_impl, &Impl::receiveLog, this, &Self::onReceiveLog);
    connect(_impl, &Impl::documentStarted, this, &Self::onDocumentStarted);
    connect(_impl, &Impl::currentUserInfo, this, &Self::onCurrentUserInfo);
    connect(_impl, &Impl::downloadRequested, this, &Self::onDownloadRequested);
    connect(_impl, &Impl::requestFileList, this, &Self::onRequestFileList);
    connect(_impl, &Impl::requestFileDownloadOffset, this, &Self::onRequestFileDownloadOffset);
    connect(_impl, &Impl::openFileFoler, this, &Self::onOpenFileFoler);
    connect(_impl, &Impl::redownloadFile, this, &Self::onRedownloadFile);
    connect(_impl, &Impl::removeDownloadFile, this, &Self::onRemoveDownloadFile);
    connect(_impl, &Impl::removeAllDownloadFile, this, &Self::onRemoveAllDownloadFile);
}

ZuvoChatWebBroswer *ZuvoChatWebBroswer::newZuvoChatWebBroswer(QString url, QWidget *parent)
{
    QMutexLocker locker(&_mutex);
    if (_webView) {
        _webView->activateWindow();
        _webView->setUrl(url);
        _webView->show();
        return _webView;
    }

    const bool maxsized = ZuvoChatWBConfigure::Maxsized();
    _webView = new ZuvoChatWebBroswer(parent, maxsized);
    _webView->createWinId();
    _webView->setMinimumWidth(ZuvoChatWBConfigure::MiniWidth());
    const QRect geometry = placeOnScreens(_webView, ZuvoChatWBConfigure::Geometry());
    _webView->resize(geometry.size());
    // Where the compositor places windows, a position would go nowhere but
    // into the toolkit's idea of where the window is, and popups that a page
    // places from that idea would land as far off.
    if (psWindowPlacesItself())
        _webView->move(geometry.topLeft());
    _webView->setUrl(url);
    _webView->show();
    connect(_webView->windowHandle(), SIGNAL(windowStateChanged(Qt::WindowState)), _webView,
            SLOT(stateChanged(Qt::WindowState)));
    if (maxsized)
        _webView->setWindowState(Qt::WindowMaximized);
    return _webView;
}

void ZuvoChatWebBroswer::destory()
{
    if (!_webView)
        return;
    ZuvoChatWebBroswer *window = _webView;
    _webView = nullptr;
    window->closeDialogs();
    // The link's end leaves the event loop half a second later; closing the
    // last window must not end it at once.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->close();
    deleteOnceIdle(window);
}

void ZuvoChatWebBroswer::deleteWindow()
{
    delete _webView;
}

void ZuvoChatWebBroswer::closeDialogs()
{
    for (QDialog *dialog : findChildren<QDialog *>()) {
        if (dialog->isVisible())
            dialog->reject();
    }
    _impl->stopWaitingForHost();
}

void ZuvoChatWebBroswer::activeWnd()
{
    if (!_webView)
        return;
    if (_webView->isHidden())
        _webView->show();
    // Each request goes to the window manager; thousands in one read kept it
    // busy long enough to lose the user's clicks, so one request serves them all.
    if (_webView->_activationPending)
        return;
    _webView->_activationPending = true;
    QMetaObject::invokeMethod(
        _webView,
        [window = _webView] {
            window->_activationPending = false;
            window->activateWindow();
        },
        Qt::QueuedConnection);
}

#define ZUVO_ENTRY(name, Arg)            \
    void ZuvoChatWebBroswer::name(Arg a) \
    {                                    \
        if (_webView)                    \
            _webView->name##_impl(a);    \
    }

ZUVO_ENTRY(showInfo, QString)
ZUVO_ENTRY(webfileListResponse, QByteArray)
ZUVO_ENTRY(webfileDownloadOffsetResponse, QByteArray)
ZUVO_ENTRY(startDownloadResponse, QByteArray)
ZUVO_ENTRY(restartDownloadResponse, QByteArray)
ZUVO_ENTRY(removeHistoryResponse, QByteArray)
ZUVO_ENTRY(removeAllHistoryResponse, QByteArray)
ZUVO_ENTRY(iqCurrentUserInfo, QByteArray)
#undef ZUVO_ENTRY

#define ZUVO_UPDATE(name)            \
    void ZuvoChatWebBroswer::name()  \
    {                                \
        if (_webView)                \
            _webView->name##_impl(); \
    }

ZUVO_UPDATE(updateShareToFriend)
ZUVO_UPDATE(updateStoreToZuvo)
ZUVO_UPDATE(updateOpenOutside)
ZUVO_UPDATE(updateCheckChannel)
#undef ZUVO_UPDATE

void ZuvoChatWebBroswer::showInfo_impl(QString information) { _impl->showInfo(information); }
void ZuvoChatWebBroswer::updateShareToFriend_impl() { _impl->updateShareToFriend(); }
void ZuvoChatWebBroswer::updateStoreToZuvo_impl() { _impl->updateStoreToZuvo(); }
void ZuvoChatWebBroswer::updateOpenOutside_impl() { _impl->updateOpenOutside(); }
void ZuvoChatWebBroswer::updateCheckChannel_impl() { _impl->updateCheckChannel(); }
void ZuvoChatWebBroswer::webfileListResponse_impl(QByteArray json) { _impl->webfileListResponse(json); }
void ZuvoChatWebBroswer::webfileDownloadOffsetResponse_impl(QByteArray json)
{
    _impl->webfileDownloadOffsetResponse(json);
}
void ZuvoChatWebBroswer::restartDownloadResponse_impl(QByteArray json) { _impl->webfileRestartDownloadResponse(json); }
void ZuvoChatWebBroswer::removeHistoryResponse_impl(QByteArray json) { _impl->webfileRemoveHistoryResponse(json); }
void ZuvoChatWebBroswer::removeAllHistoryResponse_impl(QByteArray json)
{
    _impl->webfileRemoveAllHistoryResponse(json);
}
void ZuvoChatWebBroswer::iqCurrentUserInfo_impl(QByteArray json) { _impl->iqCurrentUserInfo(json); }

QString ZuvoChatWebBroswer::positionText(const QRect &frame, bool maximized)
{
    return QStringLiteral("%1,%2,%3,%4,%5")
        .arg(frame.x())
        .arg(frame.y())
        .arg(frame.width())
        .arg(frame.height())
        .arg(maximized ? 1 : 0);
}

void ZuvoChatWebBroswer::setUrl(QString url)
{
    _impl->setUrl(url);
    // Leaving the maximised state below reports itself to stateChanged.
    const bool maximized = _maximized;
    setWindowState(Qt::WindowActive);
    if (maximized)
        onMaxSize();
    _impl->show();
    if (!_savePosTimer.isActive())
        _savePosTimer.start();
}

void ZuvoChatWebBroswer::stateChanged(Qt::WindowState state)
{
    // The title bar's own buttons stay hidden, so the user maximises and
    // restores through the window manager's frame; the report must say so.
    // Minimised or full screen, the window comes back to what it was.
    if (state == Qt::WindowMaximized)
        _maximized = true;
    else if (state == Qt::WindowNoState)
        _maximized = false;
    _impl->stateChanged(state);
}

void ZuvoChatWebBroswer::onClosed()
{
    onSavePos();
    // The window may be destroyed by the host link in the meantime.
    QPointer<ZuvoChatWebBroswer> window(this);
    QTimer::singleShot(100, Qt::PreciseTimer, [window] {
        if (!window)
            return;
        window->close();
        window->deleteLater();
        if (_webView == window)
            _webView = nullptr;
    });
}

void ZuvoChatWebBroswer::onMiniSize()
{
    setWindowState(Qt::WindowMinimized);
}

void ZuvoChatWebBroswer::onMaxSize()
{
    setWindowState(Qt::WindowMaximized);
    _maximized = true;
}

void ZuvoChatWebBroswer::onRestore()
{
    setWindowState(Qt::WindowNoState);
    _maximized = false;
}

void ZuvoChatWebBroswer::onClearWindowState()
{
    if (!(windowState() & Qt::WindowMaximized))
        return;
    setWindowState(windowState() & ~Qt::WindowMaximized);
    _maximized = false;
}

void ZuvoChatWebBroswer::onRefresh() { transport::shareInstance()->refresh(); }
void ZuvoChatWebBroswer::onStoreToZuvo() { transport::shareInstance()->storeToZuvo(); }
void ZuvoChatWebBroswer::onShareToFriend() { transport::shareInstance()->shareArtile(); }
void ZuvoChatWebBroswer::onChannel() { transport::shareInstance()->showChannel(); }
void ZuvoChatWebBroswer::onGoToChannel(QString channelId, qint64 pageTextBytes)
{
    transport::shareInstance()->goToChannel(channelId, pageTextBytes);
}
void ZuvoChatWebBroswer::onOpenOutside() { transport::shareInstance()->openOutside(); }
void ZuvoChatWebBroswer::onReceiveLog(QString msg) { transport::shareInstance()->onReceiveLog(msg); }
void ZuvoChatWebBroswer::onDocumentStarted() { transport::shareInstance()->startPageDocument(); }
void ZuvoChatWebBroswer::onCurrentUserInfo(QString requestID) { transport::shareInstance()->currentUserInfo(requestID); }
void ZuvoChatWebBroswer::onRequestFileList(QString key) { transport::shareInstance()->getWebfileList(key); }
void ZuvoChatWebBroswer::onRequestFileDownloadOffset(QString key, QStringList fileList)
{
    transport::shareInstance()->getWebfileDownloadOffset(key, fileList);
}
void ZuvoChatWebBroswer::onOpenFileFoler(QString fileKey) { transport::shareInstance()->openFileFoler(fileKey); }
void ZuvoChatWebBroswer::onRedownloadFile(QString requestid, QString key)
{
    transport::shareInstance()->redownloadFile(requestid, key);
}
void ZuvoChatWebBroswer::onRemoveDownloadFile(QString requestid, QString key)
{
    transport::shareInstance()->removeDownloadFile(requestid, key);
}
void ZuvoChatWebBroswer::onRemoveAllDownloadFile(QString requestid)
{
    transport::shareInstance()->removeAllDownloadFile(requestid);
}

void ZuvoChatWebBroswer::onSavePos()
{
    // No report of a frame not yet known: the host would reopen the window
    // at that size.
    const QRect frame = reportedFrame(this);
    if (frame.isNull())
        return;
    const QString posString = positionText(frame, _maximized);
    if (posString == _oldPosString)
        return;
    _oldPosString = posString;
    transport::shareInstance()->savePosition(posString);
}

void ZuvoChatWebBroswer::onDownloadRequested(const QUrl &url)
{
    const quint64 current = quint64(QDateTime::currentMSecsSinceEpoch());
    if (current - _lastDownloadTime <= kDownloadRepeatMs)
        return;
    _lastDownloadTime = current;
    _downloadRequest = newRequestId();

    const QString path = url.path(QUrl::FullyDecoded);
    const QString suggestedName = path.split(QLatin1Char('/')).last();
    // Opened without an event loop of its own, which the end of the host
    // link could otherwise pull the window out from under.
    auto *dialog = new QFileDialog(this, tr("Save File"), suggestedName);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QString requestId = _downloadRequest;
    connect(dialog, &QFileDialog::fileSelected, this, [path, url, requestId](const QString &fileName) {
        if (fileName.isEmpty())
            return;
        qCDebug(zuvoWindow) << "onDownloadRequested, path:" << path << ", fileName:" << fileName;
        transport::shareInstance()->downloadFile(requestId, url.toString(), fileName);
    });
    dialog->open();
    if (zuvoText().isDebugEnabled()) {
        QStringList buttons;
        for (const QPushButton *button : dialog->findChildren<QPushButton *>()) {
            if (button->isVisible())
                buttons << button->text();
        }
        qCDebug(zuvoText).noquote() << "save dialog:" << dialog->windowTitle() << "|" << buttons.join(QStringLiteral(" | "));
    }
}

void ZuvoChatWebBroswer::startDownloadResponse_impl(QByteArray json)
{
    const QJsonObject reply = QJsonDocument::fromJson(json).object();
    const QString key = reply.value(QStringLiteral("key")).toString();
    const QString info = reply.value(QStringLiteral("info")).toString();
    if (key != _downloadRequest)
        return;
    _downloadRequest = QString();
    if (!info.isEmpty())
        showInfo_impl(info);
}

void ZuvoChatWebBroswer::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.save();
    DrawBorder(painter);
    painter.restore();
}

void ZuvoChatWebBroswer::DrawBorder(QPainter &painterDc)
{
    const qreal side = 2 * _impl->roundRadius();
    const qreal w = width();
    const qreal h = height();
    const QColor colour = ZuvoChatWBConfigure::ShadowColor();
    painterDc.setPen(colour);
    painterDc.setBrush(QBrush(colour, Qt::SolidPattern));
    painterDc.setRenderHint(QPainter::Antialiasing, true);
    painterDc.drawArc(QRectF(0, 0, side, side), 90 * 16, 90 * 16);
    painterDc.drawArc(QRectF(w - side, 0, side, side), 0, 90 * 16);
    painterDc.drawArc(QRectF(0, h - side, side, side), 180 * 16, 90 * 16);
    painterDc.drawArc(QRectF(w - side, h - side, side, side), 270 * 16, 90 * 16);
    painterDc.drawRect(QRect(0, 0, width(), height()));
}

void ZuvoChatWebBroswer::resizeEvent(QResizeEvent *)
{
    _impl->resize(width() - 2, height() - 2);
    ZuvoChatWBConfigure::SetGeometry(geometry());
    if (_impl->roundRadius() != 0)
        updateMask();
}

void ZuvoChatWebBroswer::updateMask()
{
    const int w = width();
    const int h = height();
    const qreal d = 2.0 * _impl->roundRadius();
    QBitmap bitmap(w, h);
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath path;
    path.moveTo(0, (h - 1) / 2);
    path.arcTo(QRectF(0, 0, d, d), 180, -90);
    path.arcTo(QRectF(w - d, 0, d, d), 90, -90);
    path.arcTo(QRectF(w - d, h - d, d, d), 360, -90);
    path.arcTo(QRectF(0, h - d, d, d), 270, -90);
    path.closeSubpath();
    painter.fillPath(path, QColor(255, 0, 0, 255));
    painter.end();
    setMask(bitmap);
}
