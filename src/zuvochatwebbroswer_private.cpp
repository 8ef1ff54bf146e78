#include "zuvochatwebbroswer_private.h"

#include "downloadfile/downloadfiletree.h"
#include "findbar.h"
#include "linux/pspecific_linux.h"
#include "windowdrag.h"
#include "webcontent.h"
#include "zoomlabel.h"
#include "zuvochatwbconfigure.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QShortcut>
#include <QWindow>

#include <algorithm>
#include <iterator>

namespace {

// Far more than any box shows. Beyond it the text would only cost layout,
// which for characters that no font has takes seconds per megabyte on newer
// toolkits, with the event loop stopped meanwhile.
constexpr int maxShownCharacters = 65536;

QString shownPart(const QString &information)
{
    return information.size() > maxShownCharacters ? information.left(maxShownCharacters) : information;
}

} // namespace

InformBox::InformBox(QWidget *parent, const QString &information, const QString &confirmText, Action confirm,
                     const QString &cancelText, Action cancel)
    : QWidget(parent, Qt::WindowFlags())
    , _information(shownPart(information), this)
    , _confirmButton(this, confirmText, ZuvoChatWBConfigure::font(), Qt::black)
    , _cancelButton(this, cancelText, ZuvoChatWBConfigure::font(), Qt::black)
    , _confirm(std::move(confirm))
    , _cancel(std::move(cancel))
{
    _information.setObjectName(QStringLiteral("information"));
    // The host's text is shown as it stands: taken as markup, a few kilobytes
    // of nested tables would stall the event loop in text layout, and an image
    // element could show a local file.
    _information.setTextFormat(Qt::PlainText);
    _confirmButton.setObjectName(QStringLiteral("confirmButton"));
    _cancelButton.setObjectName(QStringLiteral("cancelButton"));

    // Never larger than what it is laid over, so centring it never puts its
    // corner at a negative position.
    const QSize configured = ZuvoChatWBConfigure::InfoBoxSize();
    resize(parent ? configured.boundedTo(parent->size()) : configured);

    _information.adjustSize();
    _cancelButton.adjustSize();
    if (cancelText.isEmpty())
        _cancelButton.hide();

    connect(&_confirmButton, &Button::clicked, this, &InformBox::onConfirm);
    connect(&_cancelButton, &Button::clicked, this, &InformBox::onCancel);
}

void InformBox::setInformation(const QString &information)
{
    _information.setText(shownPart(information));
    if (_measurePending)
        return;
    _measurePending = true;
    QMetaObject::invokeMethod(this, &InformBox::measureInformation, Qt::QueuedConnection);
}

void InformBox::measureInformation()
{
    _measurePending = false;
    _information.adjustSize();
}

void InformBox::onConfirm()
{
    run(_confirm);
}

void InformBox::onCancel()
{
    run(_cancel);
}

void InformBox::dismiss()
{
    if (_cancelButton.isHidden())
        onConfirm();
    else
        onCancel();
}

void InformBox::run(const Action &action)
{
    if (!action)
        return;
    // The callback may destroy this box and with it the stored callable, so
    // the call runs on a copy that outlives it.
    const Action call = action;
    call(this);
}

void InformBox::resizeEvent(QResizeEvent *e)
{
    Q_UNUSED(e)
    const QMargins margins = ZuvoChatWBConfigure::InfoBoxMargins();

    _information.move(margins.left(), margins.top());
    _confirmButton.move(width() - _confirmButton.width() - margins.right(),
                        height() - _confirmButton.height() - margins.bottom());
    _cancelButton.move(_confirmButton.x() - _cancelButton.width(), _confirmButton.y());
}

void InformBox::paintEvent(QPaintEvent *e)
{
    _painted = true;
    QPainter painter(this);
    painter.fillRect(e->rect(), Qt::white);
}

namespace {

const char *const kGoToChannelAction = "go_to_channel_info";

} // namespace

ZuvoChatWebBroswer_impl::ZuvoChatWebBroswer_impl(QWidget *parent, bool maxsized)
    : QWidget(parent, Qt::WindowFlags())
    , _jsbridge(this)
    , _logo(this, ZuvoChatWBConfigure::TitleChannelLogo())
    , _refresh(this, ZuvoChatWBConfigure::TitleRefreshText(), ZuvoChatWBConfigure::font(), Qt::white)
    , _storeToZuvo(this, ZuvoChatWBConfigure::TitleCollectText(), ZuvoChatWBConfigure::font(), Qt::white)
    , _shareToFriend(this, ZuvoChatWBConfigure::TitleShareText(), ZuvoChatWBConfigure::font(), Qt::white)
    , _checkChannel(this, ZuvoChatWBConfigure::TitleChannelText(), ZuvoChatWBConfigure::font(), Qt::white)
    , _openOutside(this, ZuvoChatWBConfigure::TitleOpenOutsideText(), ZuvoChatWBConfigure::font(), Qt::white)
    , _webFile(this, ZuvoChatWBConfigure::TitleWebFileText(), ZuvoChatWBConfigure::font(), Qt::white)
    , _minisize(this, ZuvoChatWBConfigure::TitleMiniIcon())
    , _maxsize(this, ZuvoChatWBConfigure::TitleMaxIcon())
    , _restoresize(this, ZuvoChatWBConfigure::TitleRestoreIcon())
    , _close(this, ZuvoChatWBConfigure::TitleCloseIcon())
    , _webFileBack(this, ZuvoChatWBConfigure::WebFileBackText(), ZuvoChatWBConfigure::font(), Qt::white)
    , _originLabel(this)
    , _backgroudBlock(this)
{
    setUpWebContent();

    _logo.setObjectName(QStringLiteral("logo"));
    _logo.setDisabled(true);
    // It does nothing when pressed, so the keyboard passes it by.
    _logo.setFocusPolicy(Qt::NoFocus);

    _originLabel.setObjectName(QStringLiteral("originLabel"));
    _originLabel.setAttribute(Qt::WA_TransparentForMouseEvents);
    _originLabel.setTextFormat(Qt::PlainText);
    _originLabel.setFont(ZuvoChatWBConfigure::font());
    _originLabel.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette originPalette = _originLabel.palette();
    originPalette.setColor(QPalette::WindowText, Qt::white); // the captions' colour
    _originLabel.setPalette(originPalette);
    _originLabel.hide();

    const std::pair<ImageButton *, void (ZuvoChatWebBroswer_impl::*)()> windowButtons[] = {
        {&_minisize, &ZuvoChatWebBroswer_impl::miniSizeClicked},
        {&_maxsize, &ZuvoChatWebBroswer_impl::maxSizeClicked},
        {&_restoresize, &ZuvoChatWebBroswer_impl::restoreClicked},
        {&_close, &ZuvoChatWebBroswer_impl::closeClicked},
    };
    for (const auto &[button, signal] : windowButtons)
        connect(button, &Button::clicked, this, signal);
    _minisize.setObjectName(QStringLiteral("minisize"));
    _maxsize.setObjectName(QStringLiteral("maxsize"));
    _restoresize.setObjectName(QStringLiteral("restoresize"));
    _close.setObjectName(QStringLiteral("close"));
    // The window keeps the platform's frame and its controls, so these stay
    // hidden; they are still laid out for a frameless variant.
    (maxsized ? _maxsize : _restoresize).hide();
    for (ImageButton *button : {&_minisize, &_maxsize, &_restoresize, &_close})
        button->hide();

    setUpTextButton(_refresh, "refresh", &ZuvoChatWebBroswer_impl::refresh);
    setUpTextButton(_storeToZuvo, "storeToZuvo", &ZuvoChatWebBroswer_impl::storeToZuvo);
    setUpTextButton(_shareToFriend, "shareToFriend", &ZuvoChatWebBroswer_impl::shareToFriend);
    setUpTextButton(_checkChannel, "checkChannel", &ZuvoChatWebBroswer_impl::channel);
    setUpTextButton(_openOutside, "openOutside", &ZuvoChatWebBroswer_impl::openOutside);
    _webFile.setObjectName(QStringLiteral("webFile"));
    _webFileBack.setObjectName(QStringLiteral("webFileBack"));
    connect(&_webFile, &Button::clicked, this, &ZuvoChatWebBroswer_impl::onWebFile);
    connect(&_webFileBack, &Button::clicked, this, &ZuvoChatWebBroswer_impl::onWebFileBack);
    _webFileBack.hide();

    _checkChannel.setVisible(ZuvoChatWBConfigure::TitleCheckChannelShow());
    _openOutside.setVisible(ZuvoChatWBConfigure::TitleOpenOutsideShow());
    _storeToZuvo.setVisible(ZuvoChatWBConfigure::TitleStoreToZuvoShow());
    _shareToFriend.setVisible(ZuvoChatWBConfigure::TitleShareToFriendShow());

    setUpBackgroundBlock();
    applyTexts();
    setUpKeys();
    setUpTabOrder();
    // The page has the keys when the window comes up, as it always had: the
    // title bar is reached from it, not the other way round.
    _webview->setFocus(Qt::OtherFocusReason);
}

ZuvoChatWebBroswer_impl::~ZuvoChatWebBroswer_impl()
{
    _backgroudBlock.removeEventFilter(this);
    _webview->removeEventFilter(this);
    // The page refers to the bridge; take it down while the bridge exists.
    delete _web;
}

void ZuvoChatWebBroswer_impl::setUpTextButton(TextButton &button, const char *name,
                                              void (ZuvoChatWebBroswer_impl::*signal)())
{
    button.setObjectName(QLatin1String(name));
    connect(&button, &Button::clicked, this, signal);
}

void ZuvoChatWebBroswer_impl::setUpWebContent()
{
    _web = WebContent::createForWindow(this, &_jsbridge);
    _webview = _web->view();
    _webview->setObjectName(QStringLiteral("webview"));
    _webview->move(1, ZuvoChatWBConfigure::TitleHeight());
    applyHostRules();
    connect(_web, &WebContent::urlChanged, this, &ZuvoChatWebBroswer_impl::showPageOrigin);
    connect(_web, &WebContent::downloadRequested, this, &ZuvoChatWebBroswer_impl::downloadRequested);

    connect(&_jsbridge, &ZuvoJsBridge::getWebMessage, this, &ZuvoChatWebBroswer_impl::onGetWebMessage);
    connect(&_jsbridge, &ZuvoJsBridge::receiveLog, this, &ZuvoChatWebBroswer_impl::receiveLog);
    connect(&_jsbridge, &ZuvoJsBridge::currentUserInfo, this, &ZuvoChatWebBroswer_impl::currentUserInfo);
}

void ZuvoChatWebBroswer_impl::setUpBackgroundBlock()
{
    _backgroudBlock.setObjectName(QStringLiteral("backgroundBlock"));
    QPalette palette = _backgroudBlock.palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(QColor(0, 0, 0, 40), Qt::SolidPattern));
    _backgroudBlock.setPalette(palette);
    _backgroudBlock.setGeometry(0, 0, width(), height());
    _backgroudBlock.setAutoFillBackground(true);
    _backgroudBlock.hide();
}

void ZuvoChatWebBroswer_impl::setUrl(QString url)
{
    // The engine holds every load back while a page's dialog is open.
    closePageDialogs();
    onWebFileBack();
    applyHostRules();
    _web->showAddress(QUrl(url, QUrl::TolerantMode));
    _webview->show();
}

void ZuvoChatWebBroswer_impl::applyHostRules()
{
    _web->setAccessToken(ZuvoChatWBConfigure::AccessToken());
    _trustedOrigins = ZuvoChatWBConfigure::TrustedOrigins();
    _web->setTrust(_trustedOrigins, ZuvoChatWBConfigure::StrictCertificates());
    showPageOrigin(_web->url());
}

void ZuvoChatWebBroswer_impl::showPageOrigin(const QUrl &url)
{
    QString origin;
    if (_trustedOrigins.isActive() && !_trustedOrigins.isTrusted(url) && url != QUrl(QStringLiteral("about:blank"))) {
        // The ACE form: a look-alike of the chat service's name reads as what it is.
        origin = OriginPattern::normalisedHost(url);
        if (origin.isEmpty())
            origin = url.scheme() + QLatin1Char(':');
    }
    if (origin == _shownOrigin)
        return;
    _shownOrigin = origin;
    placeOriginLabel();
}

void ZuvoChatWebBroswer_impl::placeOriginLabel()
{
    const QRect rect = originLabelRect();
    _originLabel.setGeometry(rect);
    // The end of a name says whose it is.
    _originLabel.setText(_originLabel.fontMetrics().elidedText(_shownOrigin, Qt::ElideLeft, rect.width()));
    _originLabel.setAccessibleName(_shownOrigin);
    _originLabel.setVisible(!_shownOrigin.isEmpty());
}

QRect ZuvoChatWebBroswer_impl::originLabelRect() const
{
    const int skip = ZuvoChatWBConfigure::TitleSkip();
    int left = ZuvoChatWBConfigure::TitleLeft();
    const QWidget *const textSide[] = {&_logo,          &_webFileBack, &_refresh,      &_storeToZuvo,
                                       &_shareToFriend, &_webFile,     &_checkChannel, &_openOutside};
    for (const QWidget *element : textSide) {
        if (!element->isHidden())
            left = std::max(left, element->geometry().right() + 1 + skip);
    }
    int right = width() - ZuvoChatWBConfigure::TitleRight();
    for (const ImageButton *button : {&_minisize, &_maxsize, &_restoresize, &_close}) {
        if (!button->isHidden())
            right = std::min(right, button->x() - skip);
    }
    return QRect(left, 0, std::max(0, right - left), ZuvoChatWBConfigure::TitleHeight());
}

void ZuvoChatWebBroswer_impl::setButtonVisible(QWidget &button, bool visible, bool relayout)
{
    if (button.isHidden() != visible)
        return;
    button.setVisible(visible);
    if (relayout)
        resizeEvent(nullptr);
}

void ZuvoChatWebBroswer_impl::updateShareToFriend()
{
    setButtonVisible(_shareToFriend, ZuvoChatWBConfigure::TitleShareToFriendShow(), true);
}

void ZuvoChatWebBroswer_impl::updateStoreToZuvo()
{
    setButtonVisible(_storeToZuvo, ZuvoChatWBConfigure::TitleStoreToZuvoShow(), true);
}

void ZuvoChatWebBroswer_impl::updateOpenOutside()
{
    // Channel and open-outside share one place, so no other item moves.
    setButtonVisible(_openOutside, ZuvoChatWBConfigure::TitleOpenOutsideShow(), false);
}

void ZuvoChatWebBroswer_impl::updateCheckChannel()
{
    setButtonVisible(_checkChannel, ZuvoChatWBConfigure::TitleCheckChannelShow(), false);
}

void ZuvoChatWebBroswer_impl::webfileListResponse(QByteArray json)
{
    emit requestFileListResponse(json);
}

void ZuvoChatWebBroswer_impl::webfileDownloadOffsetResponse(QByteArray json)
{
    emit requestFileDownloadOffsetResponse(json);
}

void ZuvoChatWebBroswer_impl::webfileRestartDownloadResponse(QByteArray json)
{
    emit restartDownloadResponse(json);
}

void ZuvoChatWebBroswer_impl::webfileRemoveHistoryResponse(QByteArray json)
{
    emit removeHistoryResponse(json);
}

void ZuvoChatWebBroswer_impl::webfileRemoveAllHistoryResponse(QByteArray json)
{
    emit removeAllHistoryResponse(json);
}

void ZuvoChatWebBroswer_impl::iqCurrentUserInfo(QByteArray json)
{
    _jsbridge.onCurrentUserInfo(json);
}

void ZuvoChatWebBroswer_impl::stateChanged(Qt::WindowState)
{
}

int ZuvoChatWebBroswer_impl::roundRadius() const
{
    return _round_radius;
}

void ZuvoChatWebBroswer_impl::setRoundRadius(int radius)
{
    _round_radius = radius;
}

void ZuvoChatWebBroswer_impl::showBG()
{
    if (!_backgroudBlock.isHidden())
        return;
    _backgroudBlock.show();
    _backgroudBlock.raise();
}

void ZuvoChatWebBroswer_impl::hideBG()
{
    _messageBox.clear();
    emit hideInfoBox();
    _backgroudBlock.hide();
    if (!_focusBeforeBox)
        return;
    QWidget *before = _focusBeforeBox;
    _focusBeforeBox.clear();
    (before->isVisible() ? before : shownContent())->setFocus(Qt::OtherFocusReason);
}

void ZuvoChatWebBroswer_impl::closePageDialogs()
{
    _web->closePageDialogs();
}

void ZuvoChatWebBroswer_impl::stopWaitingForHost()
{
    _jsbridge.stopWaiting();
}

bool ZuvoChatWebBroswer_impl::isWaitingForHost() const
{
    return _jsbridge.isWaiting();
}

InformBox *ZuvoChatWebBroswer_impl::openBox(const QString &text, const QString &confirmText,
                                            InformBox::Action confirm, const QString &cancelText,
                                            InformBox::Action cancel)
{
    _messageBox.clear();
    emit hideInfoBox();
    showBG();
    auto *box = new InformBox(this, text, confirmText, std::move(confirm), cancelText, std::move(cancel));
    connect(this, SIGNAL(hideInfoBox()), box, SLOT(deleteLater()));
    box->move((width() - box->width()) / 2, (height() - box->height()) / 2);
    box->show();
    // A question comes from the user's own press (delete, clear all), so the
    // keys go on to answer it; the host's messages leave them where they are.
    if (box->asks())
        focusBox(*box);
    return box;
}

void ZuvoChatWebBroswer_impl::focusBox(InformBox &box)
{
    // The page, the history or the title bar gets the keys back when it closes.
    if (!_focusBeforeBox)
        _focusBeforeBox = QApplication::focusWidget();
    box.focusAnswer();
}

void ZuvoChatWebBroswer_impl::showInfo(QString information)
{
    if (replaceUnseenMessage(information))
        return;
    _messageBox = openBox(information, ZuvoChatWBConfigure::InfoOK(), closingBoxThen(), QString(), InformBox::Action());
}

// A host may send thousands of messages in one read while only the last can
// ever be seen: a message box nobody has seen yet just takes the new text.
bool ZuvoChatWebBroswer_impl::replaceUnseenMessage(const QString &information)
{
    if (!_messageBox || _messageBox->painted() || _messageBox->isHidden())
        return false;
    _messageBox->setInformation(information);
    return true;
}

void ZuvoChatWebBroswer_impl::onGetWebMessage(QString msg)
{
    const QByteArray text = msg.toUtf8();
    const QJsonObject message = QJsonDocument::fromJson(text).object();
    const QString action = message.value(QStringLiteral("action")).toString();
    const QString data = message.value(QStringLiteral("data")).toString();
    if (action == QLatin1String(kGoToChannelAction) && !data.isEmpty())
        emit goToChannel(data, text.size());
}

void ZuvoChatWebBroswer_impl::connectFileTree()
{
    using Tree = DownloadFileTree;
    using Self = ZuvoChatWebBroswer_impl;
    connect(_fileTree, &Tree::requestFileList, this, &Self::requestFileList);
    connect(_fileTree, &Tree::requestFileDownloadOffsetList, this, &Self::requestFileDownloadOffset);
    connect(this, &Self::requestFileListResponse, _fileTree, &Tree::onRequestFileList);
    connect(this, &Self::requestFileDownloadOffsetResponse, _fileTree, &Tree::onRequestFileDownloadOffset);
    connect(this, &Self::restartDownloadResponse, _fileTree, &Tree::onRestartDownloadResponse);
    connect(this, &Self::removeHistoryResponse, _fileTree, &Tree::onRemoveHistoryResponse);
    connect(this, &Self::removeAllHistoryResponse, _fileTree, &Tree::onRemoveAllHistoryResponse);
    connect(_fileTree, &Tree::openFileFoler, this, &Self::openFileFoler);
    connect(_fileTree, &Tree::redownloadFile, this, &Self::redownloadFile);
    connect(_fileTree, &Tree::removeDownloadFile, this, &Self::onRemoveDownloadFile);
    connect(_fileTree, &Tree::removeAllDownloadFile, this, &Self::onRemoveAllDownloadFile);
}

void ZuvoChatWebBroswer_impl::onWebFile()
{
    if (!_fileTree) {
        _fileTree = new DownloadFileTree(this);
        _fileTree->setObjectName(QStringLiteral("fileTree"));
        connectFileTree();
        _fileTree->setGeometry(_webview->geometry());
    }
    if (_webview->isHidden())
        return;
    _webview->hide();
    // The host is asked for the list at most once a second.
    const quint64 current = quint64(QDateTime::currentMSecsSinceEpoch());
    if (current - _lastRequestFileTime > 1000) {
        _fileTree->toRequestFileList();
        _lastRequestFileTime = current;
    }
    _fileTree->show();
    _webFileBack.show();
    resizeEvent(nullptr);
}

InformBox::Action ZuvoChatWebBroswer_impl::closingBoxThen(std::function<void()> then)
{
    return [this, then](QWidget *box) {
        box->hide();
        box->deleteLater();
        hideBG();
        if (then)
            then();
    };
}

void ZuvoChatWebBroswer_impl::onRemoveDownloadFile(QString key, QString fileKey)
{
    openBox(ZuvoChatWBConfigure::WebFileRemoveTipsText(), ZuvoChatWBConfigure::InfoDelete(),
            closingBoxThen([this, key, fileKey] { emit removeDownloadFile(key, fileKey); }),
            ZuvoChatWBConfigure::InfoCancel(), closingBoxThen());
}

void ZuvoChatWebBroswer_impl::onRemoveAllDownloadFile(QString key)
{
    openBox(ZuvoChatWBConfigure::WebFileRemoveAllTipsText(), ZuvoChatWBConfigure::InfoClean(),
            closingBoxThen([this, key] { emit removeAllDownloadFile(key); }), ZuvoChatWBConfigure::InfoCancel(),
            closingBoxThen());
}

void ZuvoChatWebBroswer_impl::onWebFileBack()
{
    if (!_webview->isHidden())
        return;
    _webview->show();
    if (_fileTree)
        _fileTree->hide();
    _webFileBack.hide();
    resizeEvent(nullptr);
}

int ZuvoChatWebBroswer_impl::placeInTitleBar(QWidget &element, int x) const
{
    element.move(x, (ZuvoChatWBConfigure::TitleHeight() - element.height()) / 2);
    return x + element.width() + ZuvoChatWBConfigure::TitleSkip();
}

void ZuvoChatWebBroswer_impl::layOutTitleBar()
{
    const int skip = ZuvoChatWBConfigure::TitleSkip();

    int x = placeInTitleBar(_logo, ZuvoChatWBConfigure::TitleLeft());
    if (!_webFileBack.isHidden())
        x = placeInTitleBar(_webFileBack, x);
    x = placeInTitleBar(_refresh, x);
    if (!_storeToZuvo.isHidden())
        x = placeInTitleBar(_storeToZuvo, x);
    if (!_shareToFriend.isHidden())
        x = placeInTitleBar(_shareToFriend, x);
    x = placeInTitleBar(_webFile, x);
    placeInTitleBar(_checkChannel, x);
    placeInTitleBar(_openOutside, x);

    int right = width() - ZuvoChatWBConfigure::TitleRight() - _close.width();
    placeInTitleBar(_close, right);
    right -= _maxsize.width() + skip;
    placeInTitleBar(_maxsize, right);
    placeInTitleBar(_restoresize, right);
    placeInTitleBar(_minisize, right - (_minisize.width() + skip));
}

void ZuvoChatWebBroswer_impl::resizeEvent(QResizeEvent *)
{
    layOutTitleBar();
    placeOriginLabel();
    const int titleHeight = ZuvoChatWBConfigure::TitleHeight();
    _webview->resize(width() - 2, height() - 1 - titleHeight);
    if (_fileTree)
        _fileTree->resize(_webview->size());
    _backgroudBlock.setGeometry(0, 0, width(), height());
    layOutOverlays();
}

void ZuvoChatWebBroswer_impl::paintEvent(QPaintEvent *)
{
    const int titleHeight = ZuvoChatWBConfigure::TitleHeight();
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), titleHeight), ZuvoChatWBConfigure::TitleBG());
    painter.fillRect(QRect(0, titleHeight, width(), height() - titleHeight), Qt::white);
}

ZuvoChatWebBroswer_impl::DragType ZuvoChatWebBroswer_impl::hitTest(int x, int y) const
{
    const int w = width();
    const int h = height();
    if (x <= 11 && y <= 11)
        return DragTopLeft;
    if (x <= 11 && y >= h - 11)
        return DragBottomLeft;
    if (x >= w - 11 && y <= 11)
        return DragTopRight;
    if (x >= w - 11 && y >= h - 11)
        return DragBottomRight;
    if (x <= 5)
        return DragLeft;
    if (x >= w - 5)
        return DragRight;
    if (y <= 5)
        return DragTop;
    if (y >= h - 5)
        return DragBottom;
    return DragClient;
}

Qt::CursorShape ZuvoChatWebBroswer_impl::cursorFor(DragType type)
{
    switch (type) {
    case DragTopLeft:
    case DragBottomRight:
        return Qt::SizeFDiagCursor;
    case DragTopRight:
    case DragBottomLeft:
        return Qt::SizeBDiagCursor;
    case DragLeft:
    case DragRight:
        return Qt::SizeHorCursor;
    case DragTop:
    case DragBottom:
        return Qt::SizeVerCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void ZuvoChatWebBroswer_impl::setParentPos(QPoint pos)
{
    emit clearWindowState();
    // The position of the window's own area, as the drag computed it: the
    // toolkit's idea of the frame may be stale right after the window shows.
    if (QWidget *window = parentWidget())
        window->setGeometry(QRect(pos, window->size()));
}

void ZuvoChatWebBroswer_impl::setParentGeometry(QRect rect)
{
    if (QWidget *window = parentWidget())
        window->setGeometry(rect);
}

void ZuvoChatWebBroswer_impl::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    _down_pos = qtcompat::globalPosition(e);
    // The window's own area, the kind of rectangle setGeometry applies.
    _down_rc = parentWidget() ? parentWidget()->geometry() : geometry();
    e->accept();
    // Where the compositor manages windows the click has already activated
    // this one, and asking again only earns a warning.
    if (psWindowPlacesItself())
        window()->activateWindow();
    setFocus(Qt::MouseFocusReason);
    _drag_type = hitTest(e->pos().x(), e->pos().y());
    setCursor(cursorFor(_drag_type));
    if (!psWindowPlacesItself() && handDragToCompositor(_drag_type))
        _drag_type = DragNone;
}

bool ZuvoChatWebBroswer_impl::handDragToCompositor(DragType type)
{
    QWindow *handle = window()->windowHandle();
    if (!handle)
        return false;
    if (type == DragClient) {
        emit clearWindowState();
        return handle->startSystemMove();
    }
    const Qt::Edges edges = dragEdges(type);
    return edges && handle->startSystemResize(edges);
}

void ZuvoChatWebBroswer_impl::mouseReleaseEvent(QMouseEvent *)
{
    releaseMouse();
    _drag_type = DragNone;
    setCursor(Qt::ArrowCursor);
}

void ZuvoChatWebBroswer_impl::enterEvent(qtcompat::EnterEvent *e)
{
    QWidget::enterEvent(e);
    setMouseTracking(true);
}

void ZuvoChatWebBroswer_impl::leaveEvent(QEvent *e)
{
    QWidget::leaveEvent(e);
    setMouseTracking(false);
}

void ZuvoChatWebBroswer_impl::mouseMoveEvent(QMouseEvent *e)
{
    if (_drag_type == DragNone) {
        setCursor(cursorFor(hitTest(e->pos().x(), e->pos().y())));
        return;
    }
    setCursor(cursorFor(_drag_type));
    if (e->buttons() != Qt::LeftButton)
        return;
    e->accept();
    // Recomputed from the press every time, so a long drag does not drift.
    const QWidget *window = parentWidget() ? parentWidget() : this;
    const QRect target = dragGeometry(_drag_type, _down_rc, qtcompat::globalPosition(e) - _down_pos, window->minimumSize());
    if (_drag_type == DragClient)
        setParentPos(target.topLeft());
    else
        setParentGeometry(target);
}

void ZuvoChatWebBroswer_impl::applyTexts()
{
    using C = ZuvoChatWBConfigure;
    const std::pair<TextButton *, QString> captions[] = {
        {&_refresh, C::TitleRefreshText()},       {&_storeToZuvo, C::TitleCollectText()},
        {&_shareToFriend, C::TitleShareText()},   {&_checkChannel, C::TitleChannelText()},
        {&_openOutside, C::TitleOpenOutsideText()}, {&_webFile, C::TitleWebFileText()},
        {&_webFileBack, C::WebFileBackText()},
    };
    for (const auto &[button, caption] : captions) {
        button->setText(caption);
        button->setAccessibleName(caption);
    }
    _logo.setAccessibleName(tr("Logo"));
    _minisize.setAccessibleName(tr("Minimize"));
    _maxsize.setAccessibleName(tr("Maximize"));
    _restoresize.setAccessibleName(tr("Restore"));
    _close.setAccessibleName(tr("Close"));
}

void ZuvoChatWebBroswer_impl::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    // The built-in captions the host never replaced now read in the new
    // language, and take the room they need.
    applyTexts();
    resizeEvent(nullptr);
}

void ZuvoChatWebBroswer_impl::setUpKeys()
{
    using Self = ZuvoChatWebBroswer_impl;
    // Window-wide, so they work while the page has the focus; a page's text
    // field still claims its editing keys first (the toolkit asks it).
    const auto bind = [this](const QKeySequence &keys, auto slot) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
        return shortcut;
    };
    // A plain pointer, not a nested [this]: the sanitizer caught the inner
    // closure reading this through the outer one, gone by the key press.
    WebContent *const web = _web;
    const auto onPage = [web](void (WebContent::*action)()) {
        return [web, action] {
            if (!web->view()->isHidden())
                (web->*action)();
        };
    };

    bind(QKeySequence(Qt::Key_F5), &Self::refresh);
    bind(QKeySequence(Qt::CTRL | Qt::Key_R), &Self::refresh);
    bind(QKeySequence(Qt::ALT | Qt::Key_Left), onPage(&WebContent::goBack));
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal),
                                     QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus)})
        bind(keys, onPage(&WebContent::zoomIn));
    for (const QKeySequence &keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Minus), QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Minus)})
        bind(keys, onPage(&WebContent::zoomOut));
    bind(QKeySequence(Qt::CTRL | Qt::Key_0), onPage(&WebContent::resetZoom));
    bind(QKeySequence(Qt::CTRL | Qt::Key_F), &Self::openFindBar);
    bind(QKeySequence(Qt::Key_F6), &Self::switchFocusRegion);
    bind(QKeySequence(Qt::SHIFT | Qt::Key_F6), &Self::switchFocusRegion);
    if (WebContent::devToolsEnabled())
        bind(QKeySequence(Qt::Key_F12), [web] { web->showDevTools(); });

    // Escape is taken only while there is something to close; otherwise the
    // page keeps it for its own dialogs and menus.
    _escapeKey = bind(QKeySequence(Qt::Key_Escape), &Self::onEscapeKey);
    _escapeKey->setEnabled(false);
    _backgroudBlock.installEventFilter(this);
    _webview->installEventFilter(this);

    connect(_web, &WebContent::zoomChanged, this, &Self::showZoomLevel);
    connect(_web, &WebContent::loadStarted, this, &Self::closeFindBar);
    connect(_web, &WebContent::loadStarted, this, &Self::documentStarted);
}

void ZuvoChatWebBroswer_impl::setUpTabOrder()
{
    QWidget *const order[] = {&_webFileBack, &_refresh, &_storeToZuvo, &_shareToFriend, &_webFile,
                              &_checkChannel, &_openOutside, &_minisize, &_maxsize, &_restoresize,
                              &_close, _webview};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QWidget *ZuvoChatWebBroswer_impl::shownContent() const
{
    if (!_webview->isHidden() || !_fileTree)
        return _webview;
    // The list while it has records, else the panel's empty notice.
    QWidget *tree = _fileTree->treeView();
    return tree->isHidden() ? static_cast<QWidget *>(_fileTree) : tree;
}

bool ZuvoChatWebBroswer_impl::titleBarHasFocus() const
{
    const QWidget *focused = QApplication::focusWidget();
    return focused && focused->parentWidget() == this && qobject_cast<const Button *>(focused);
}

void ZuvoChatWebBroswer_impl::switchFocusRegion()
{
    if (InformBox *box = topBox()) {
        focusBox(*box);
        return;
    }
    if (titleBarHasFocus()) {
        shownContent()->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    for (Button *button : {static_cast<Button *>(&_webFileBack), static_cast<Button *>(&_refresh)}) {
        if (!button->isHidden()) {
            button->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

bool ZuvoChatWebBroswer_impl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        // The page made way for the download panel (not a minimised window):
        // what floats over the page goes with it.
        if (watched == _webview && _webview->isHidden()) {
            closeFindBar();
            if (_zoomLabel)
                _zoomLabel->hide();
        }
        updateEscapeKey();
    }
    return QWidget::eventFilter(watched, event);
}

void ZuvoChatWebBroswer_impl::updateEscapeKey()
{
    _escapeKey->setEnabled(!_backgroudBlock.isHidden() || (_findBar && !_findBar->isHidden()));
}

InformBox *ZuvoChatWebBroswer_impl::topBox() const
{
    const QList<InformBox *> boxes = findChildren<InformBox *>(QString(), Qt::FindDirectChildrenOnly);
    for (auto box = boxes.crbegin(); box != boxes.crend(); ++box) {
        if (!(*box)->isHidden())
            return *box;
    }
    return nullptr;
}

void ZuvoChatWebBroswer_impl::onEscapeKey()
{
    if (InformBox *box = topBox())
        box->dismiss();
    else if (_findBar && !_findBar->isHidden())
        closeFindBar();
}

void ZuvoChatWebBroswer_impl::openFindBar()
{
    // The page is covered by a box or replaced by the download panel.
    if (_webview->isHidden() || !_backgroudBlock.isHidden())
        return;
    if (!_findBar) {
        _findBar = new FindBar(this, _web);
        stackOverPage(*_findBar);
        _findBar->installEventFilter(this);
        connect(_findBar, &FindBar::closed, this, [this] { _webview->setFocus(Qt::OtherFocusReason); });
        layOutOverlays();
    }
    _findBar->open();
}

void ZuvoChatWebBroswer_impl::closeFindBar()
{
    if (_findBar)
        _findBar->closeBar();
}

void ZuvoChatWebBroswer_impl::showZoomLevel(int percent)
{
    if (!_zoomLabel) {
        _zoomLabel = new ZoomLabel(this);
        stackOverPage(*_zoomLabel);
    }
    _zoomLabel->showLevel(percent);
    layOutOverlays();
}

void ZuvoChatWebBroswer_impl::stackOverPage(QWidget &overlay)
{
    // An open box and its dimming layer stay above everything.
    overlay.raise();
    if (_backgroudBlock.isHidden())
        return;
    _backgroudBlock.raise();
    for (InformBox *box : findChildren<InformBox *>(QString(), Qt::FindDirectChildrenOnly))
        box->raise();
}

void ZuvoChatWebBroswer_impl::layOutOverlays()
{
    // Both float over the page and leave its place as it is.
    const QRect page = _webview->geometry();
    if (_findBar)
        _findBar->setGeometry(page.x(), page.y(), page.width(), FindBar::barHeight());
    if (_zoomLabel)
        _zoomLabel->move(page.x() + (page.width() - _zoomLabel->width()) / 2,
                         page.y() + (page.height() - _zoomLabel->height()) / 2);
}
