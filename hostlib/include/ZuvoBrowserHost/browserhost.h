#pragma once

#include <ZuvoBrowserHost/global.h>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMargins>
#include <QObject>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QList>
#include <QUrl>

#include <memory>

namespace Zuvo {

class DownloadService;
class StandardDownloadService;

// One browser process and the link to it: starts the browser, listens on the
// endpoint that browser connects to, sends it settings and events, and turns
// what it sends into signals. Everything happens in the thread that owns the
// object, driven by that thread's event loop.
//
// Settings and events given before the browser has connected wait and go out,
// in order, once it has; after the link has ended they are dropped. The
// window reads most settings when it is built, so give them before the first
// showUrl().
class ZUVOBROWSERHOST_EXPORT BrowserHost : public QObject
{
    Q_OBJECT

public:
    enum class BrowserOutput {
        Forwarded, // the browser writes to the host's own standard output and error
        Discarded,
        Lines,     // each line comes as browserOutputLine()
    };

    enum class Text {
        RefreshButton, StoreButton, ShareButton, ChannelButton, OpenOutsideButton,
        ConfirmOk, ConfirmCancel, ConfirmDelete, ConfirmClear,
        DownloadsButton, DownloadsEmpty, DownloadSucceeded, DownloadFailed, OpenInFolder,
        DownloadsBack, DownloadAgain, FileMissing, RemoveAll,
        RemoveOneQuestion, RemoveAllQuestion, RemoveOneTip, RemoveAllTip,
    };
    enum class Image { WindowIcon, TitleLogo, MinimizeButton, MaximizeButton, RestoreButton, CloseButton };
    // Sizes in pixels at 100 %; the browser scales them to the display.
    enum class Metric { TitleBarHeight, TitleBarLeft, TitleBarRight, TitleBarSpacing, MinimumWindowWidth };
    enum class Button { OpenOutside, Channel, Store, Share };

    explicit BrowserHost(QObject *parent = nullptr);
    // Closes the link and kills a browser that is still running.
    ~BrowserHost() override;

    // The endpoint the browser at this path connects to: derived from the
    // folder it really lives in, symbolic links resolved.
    static QString endpointFor(const QString &browserExecutable);

    // Takes effect at the next start().
    void setBrowserOutput(BrowserOutput output);
    // Listens on the browser's endpoint (a stale socket file is removed
    // first) and starts it, in a process group of its own and with no
    // standard input. Returns false, with error set, when the endpoint cannot
    // be listened on; a browser that cannot be started is reported by
    // browserFailedToStart(). One start per object.
    bool start(const QString &browserExecutable, QString *error = nullptr);
    QString endpoint() const;
    bool isConnected() const;
    bool isBrowserRunning() const;

    // Closes the link, after which the browser ends by itself; kills it if it
    // has not exited within the grace. A browser connecting after this is
    // sent away.
    void end(int graceMilliseconds = 5000);
    void kill();

    // Settings. Texts are applied when not empty; metrics when above 0.
    void setTitle(const QString &title);
    void setText(Text which, const QString &text);
    // Empty removes the token; the browser uses it from the next address it
    // loads, and the built-in download service for every later download.
    void setAccessToken(const QString &token);
    // Who may have the token and the page bridge: origins written
    // scheme://host[:port], "*.example.com" for every subdomain of
    // example.com. Once set, the token goes only with requests to these
    // origins that the window makes for the host or that a page of these
    // origins makes, the bridge only to their pages, and the title bar names
    // the host of any other page. An empty list restores the default: the
    // token with every request, the bridge for the origin shown.
    void setTrustedOrigins(const QStringList &origins);
    // From now on a page whose certificate fails verification is refused,
    // unless the certificate's SHA-256 digest (of its DER bytes, 32 bytes as
    // QCryptographicHash gives it) is listed; an empty list refuses every
    // such page. Digests of another length are not sent. There is no way
    // back to accepting every certificate in the same browser process.
    void setStrictCertificates(const QList<QByteArray> &sha256);
    // The language of the browser's own texts and dialogs, as a BCP 47 tag
    // ("zh-CN", "de"), usually the chat client's own. An empty tag, or one
    // the browser does not ship, follows the desktop's language, then
    // English. Applies at once, to an open window too.
    void setLanguage(const QString &bcp47Tag);
    void setMetric(Metric which, int pixels);
    // Return false, sending nothing, for an invalid colour; the content
    // background also refuses pure black (the browser takes 0 as "unset") and
    // ignores alpha.
    bool setTitleBarColor(const QColor &colour);
    bool setFrameColor(const QColor &colour);
    bool setContentBackgroundColor(const QColor &colour);
    // An image as PNG, or the bytes of an image file as they are (PNG, JPEG, …).
    void setImage(Image which, const QImage &image);
    void setImageFile(Image which, const QByteArray &fileBytes);
    void setWindowGeometry(const QRect &frame, bool maximised = false);
    void setConfirmBoxSize(const QSize &size);
    void setConfirmBoxMargins(const QMargins &margins);

    // Events.
    void showUrl(const QUrl &url); // opens the window, or loads url into it
    void activate();
    void setButtonVisible(Button which, bool visible);
    void showMessage(const QString &text);

    // The answer to userInfoRequested(key), now or later. The page waits about
    // three seconds and then gets an empty text; a later answer is ignored.
    void answerUserInfo(const QString &key, const QString &info);

    // The service answering the download panel; not owned, and it must
    // outlive its use here. nullptr restores the built-in one.
    void setDownloadService(DownloadService *service);
    DownloadService *downloadService() const;
    StandardDownloadService *standardDownloadService() const;

    // Bytes for the link exactly as given, for tools that speak the protocol
    // themselves. Held back until the browser connects, like every setting.
    void sendRaw(const QByteArray &bytes);
    // Messages from the browser that the library could not use: unknown,
    // malformed, or a request without the key its answer needs.
    qint64 droppedMessageCount() const;
    // Connections to the endpoint from anything but the browser this host
    // started (or a process below it) of the same user: closed at once.
    qint64 refusedConnectionCount() const;

signals:
    // The endpoint is ready for the browser, which is started next.
    void listening(const QString &endpoint);
    void browserStarted(qint64 processId);
    void browserFailedToStart(const QString &reason);
    // After a crash exitCode is the number of the signal that ended it.
    void browserFinished(int exitCode, QProcess::ExitStatus status);
    void browserOutputLine(const QString &line);
    // The grace given to end() ran out; the browser is killed next.
    void killingBrowser();
    void connected();
    void disconnected();

    // Feedback from the window.
    void storeClicked();
    void shareClicked();
    void channelClicked();
    void refreshClicked();
    void openOutsideClicked();
    // The window frame moved or changed size (at most once a second).
    void positionChanged(const QRect &frame, bool maximised);
    // A page asked the chat client to open a channel.
    void channelRequested(const QString &channelId);
    // A page wrote a line to the host's log.
    void logReceived(const QString &text);
    void userInfoRequested(const QString &key);

    // Every message the browser sends, before it is acted on, payload
    // decoded; for logs and diagnostics.
    void messageReceived(const QString &group, const QString &command, const QByteArray &payload);

private:
    class Private;
    std::unique_ptr<Private> _d;
};

} // namespace Zuvo
