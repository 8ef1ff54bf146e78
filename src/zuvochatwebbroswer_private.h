#pragma once

#include "button.h"
#include "qtcompat_p.h"

#include "trustedorigins.h"
#include "zuvojsbridge.h"

#include <QByteArray>
#include <QLabel>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QString>
#include <QWidget>

#include <functional>

class QPaintEvent;
class QResizeEvent;

// A white box laid over the content with a message and one or two answers.
// It never closes itself: the creator's callbacks decide what an answer does,
// including hiding and deleting the box they are handed.
class InformBox : public QWidget
{
    Q_OBJECT

public:
    using Action = std::function<void(QWidget *)>;

    // An empty cancelText leaves only the confirming button.
    InformBox(QWidget *parent, const QString &information, const QString &confirmText, Action confirm,
              const QString &cancelText, Action cancel);

    // Shows another text in the same box. The label is measured once the
    // event loop runs again, so a burst of texts costs one measurement.
    void setInformation(const QString &information);
    // Whether the box has reached the screen at least once.
    bool painted() const { return _painted; }
    QString information() const { return _information.text(); }
    // A question with two answers, rather than a message to acknowledge.
    bool asks() const { return !_cancelButton.isHidden(); }
    // The answer Enter gives once the box has the focus.
    void focusAnswer() { _confirmButton.setFocus(Qt::OtherFocusReason); }

signals:
    void closed();

public slots:
    void onConfirm();
    void onCancel();
    // The answer that commits to nothing: cancel where the box offers it,
    // otherwise its only answer.
    void dismiss();

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void run(const Action &action);
    void measureInformation();

    QLabel _information;
    TextButton _confirmButton;
    TextButton _cancelButton;
    Action _confirm;
    Action _cancel;
    bool _painted = false;
    bool _measurePending = false;
};

class DownloadFileTree;
class FindBar;
class QShortcut;
class QUrl;
class WebContent;
class ZoomLabel;

// Everything the user sees inside the window: the custom title bar, the web
// view below it, and the dimming layer with a message box over both. It turns
// clicks, page requests and page messages into signals for the window, and
// moves and resizes the window when its title bar or edges are dragged.
class ZuvoChatWebBroswer_impl : public QWidget
{
    Q_OBJECT

public:
    enum DragType {
        DragNone = 0,
        DragClient = 1,
        DragTop = 2,
        DragLeft = 3,
        DragBottom = 4,
        DragRight = 5,
        DragTopLeft = 6,
        DragTopRight = 7,
        DragBottomLeft = 8,
        DragBottomRight = 9,
    };

    ZuvoChatWebBroswer_impl(QWidget *parent, bool maxsized);
    ~ZuvoChatWebBroswer_impl() override;

    void setUrl(QString url);
    void showInfo(QString information);

    void updateShareToFriend();
    void updateStoreToZuvo();
    void updateOpenOutside();
    void updateCheckChannel();

    void webfileListResponse(QByteArray json);
    void webfileDownloadOffsetResponse(QByteArray json);
    void webfileRestartDownloadResponse(QByteArray json);
    void webfileRemoveHistoryResponse(QByteArray json);
    void webfileRemoveAllHistoryResponse(QByteArray json);
    void iqCurrentUserInfo(QByteArray json);

    void stateChanged(Qt::WindowState state);
    int roundRadius() const;
    void setRoundRadius(int radius);
    void showBG();
    void hideBG();

    // The page's own dialogs (alert, confirm, prompt) closed as their cancel.
    void closePageDialogs();
    // The host is gone: a page waiting for its answer stops waiting.
    void stopWaitingForHost();
    // A page is blocked waiting for the host, with events running under it.
    bool isWaitingForHost() const;

    // What a press at (x, y) grabs; the corner zones are wider on the left
    // and top than on the right and bottom, as users of the old window know.
    DragType hitTest(int x, int y) const;
    void setParentPos(QPoint pos);
    void setParentGeometry(QRect rect);

    // Where the title bar names the host of a page outside the host's trusted
    // origins: the free space between the text buttons and the window buttons.
    QRect originLabelRect() const;
    // The host name shown there; empty while the page is trusted or no list is in force.
    QString shownOrigin() const { return _shownOrigin; }

    WebContent *webContent() const { return _web; }
    // The page's widget, where the window lays it out.
    QWidget *webView() const { return _webview; }
    // Null until first opened or shown.
    FindBar *findBar() const { return _findBar; }
    ZoomLabel *zoomLabel() const { return _zoomLabel; }
    DownloadFileTree *fileTree() const { return _fileTree; }

signals:
    void closeClicked();
    void miniSizeClicked();
    void maxSizeClicked();
    void restoreClicked();
    void clearWindowState();
    void refresh();
    void storeToZuvo();
    void shareToFriend();
    void channel();
    // pageTextBytes: the page's whole message, which the host link limits.
    void goToChannel(QString channelID, qint64 pageTextBytes);
    void openOutside();
    void webFile();
    void hideInfoBox();
    void receiveLog(QString msg);
    void documentStarted();
    void currentUserInfo(QString requestID);
    void downloadRequested(const QUrl &url);
    void requestFileList(QString key);
    void requestFileListResponse(QByteArray response);
    void requestFileDownloadOffset(QString key, QStringList fileList);
    void requestFileDownloadOffsetResponse(QByteArray response);
    void restartDownloadResponse(QByteArray json);
    void removeHistoryResponse(QByteArray json);
    void removeAllHistoryResponse(QByteArray json);
    void openFileFoler(QString fileKey);
    void redownloadFile(QString key, QString fileKey);
    void removeDownloadFile(QString key, QString fileKey);
    void removeAllDownloadFile(QString key);

public slots:
    void onGetWebMessage(QString msg);
    void onWebFile();
    void onWebFileBack();
    void onRemoveDownloadFile(QString key, QString fileKey);
    void onRemoveAllDownloadFile(QString key);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void enterEvent(qtcompat::EnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setUpKeys();
    // Tab follows the title bar from left to right, then the page.
    void setUpTabOrder();
    // F6: from the page (or the history) to the title bar's first button
    // and back, as in other browsers.
    void switchFocusRegion();
    // The page, or the download history in its place.
    QWidget *shownContent() const;
    bool titleBarHasFocus() const;
    void focusBox(InformBox &box);
    void placeOriginLabel();
    // Captions and accessible names, in the language in force.
    void applyTexts();
    void openFindBar();
    void closeFindBar();
    void onEscapeKey();
    void updateEscapeKey();
    void showZoomLevel(int percent);
    void layOutOverlays();
    void stackOverPage(QWidget &overlay);
    InformBox *topBox() const;
    void setUpTextButton(TextButton &button, const char *name, void (ZuvoChatWebBroswer_impl::*signal)());
    void setUpWebContent();
    void applyHostRules();
    void showPageOrigin(const QUrl &url);
    void setUpBackgroundBlock();
    void layOutTitleBar();
    int placeInTitleBar(QWidget &element, int x) const;
    void setButtonVisible(QWidget &button, bool visible, bool relayout);
    void connectFileTree();
    // A box answer that closes the box and the dimming, then runs then.
    InformBox::Action closingBoxThen(std::function<void()> then = {});
    InformBox *openBox(const QString &text, const QString &confirmText, InformBox::Action confirm,
                       const QString &cancelText, InformBox::Action cancel);
    bool replaceUnseenMessage(const QString &information);
    static Qt::CursorShape cursorFor(DragType type);
    // The compositor moves or resizes the window from this press on, and
    // keeps the pointer until the release: false when it would not.
    bool handDragToCompositor(DragType type);

    ZuvoJsBridge _jsbridge;
    WebContent *_web = nullptr;
    QWidget *_webview = nullptr;
    DownloadFileTree *_fileTree = nullptr;
    quint64 _lastRequestFileTime = 0;
    ImageButton _logo;
    TextButton _refresh;
    TextButton _storeToZuvo;
    TextButton _shareToFriend;
    TextButton _checkChannel;
    TextButton _openOutside;
    TextButton _webFile;
    ImageButton _minisize;
    ImageButton _maxsize;
    ImageButton _restoresize;
    ImageButton _close;
    TextButton _webFileBack;
    // Only words, so presses and moves go through to the title bar beneath.
    QLabel _originLabel;
    DragType _drag_type = DragNone;
    QPoint _down_pos;
    QRect _down_rc;
    int _round_radius = 0;
    QWidget _backgroudBlock;
    // The open message box of showInfo, if any; confirmation boxes are never reused.
    QPointer<InformBox> _messageBox;
    // Where the keyboard was before a box took it, to go back there.
    QPointer<QWidget> _focusBeforeBox;
    FindBar *_findBar = nullptr;
    ZoomLabel *_zoomLabel = nullptr;
    QShortcut *_escapeKey = nullptr;
    TrustedOriginList _trustedOrigins;
    QString _shownOrigin;
};
