#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class QPainter;
class QUrl;
class ZuvoChatWebBroswer_impl;

// The one browser window. Host events and replies reach it through the static
// entry points, which do nothing while no window exists; its slots turn what
// the user and the pages do into commands to the host.
class ZuvoChatWebBroswer : public QWidget
{
    Q_OBJECT

public:
    ZuvoChatWebBroswer(QWidget *parent, bool maxsized);
    ~ZuvoChatWebBroswer() override;

    // Creates the window on the first call and reuses it afterwards.
    static ZuvoChatWebBroswer *newZuvoChatWebBroswer(QString url, QWidget *parent);
    static void destory();
    // Deletes the window at once, for the end of the program: a window the
    // window manager closed is hidden, not deleted.
    static void deleteWindow();
    static void activeWnd();
    static void showInfo(QString information);
    static void updateShareToFriend();
    static void updateStoreToZuvo();
    static void updateOpenOutside();
    static void updateCheckChannel();
    static void webfileListResponse(QByteArray json);
    static void webfileDownloadOffsetResponse(QByteArray json);
    static void startDownloadResponse(QByteArray json);
    static void restartDownloadResponse(QByteArray json);
    static void removeHistoryResponse(QByteArray json);
    static void removeAllHistoryResponse(QByteArray json);
    static void iqCurrentUserInfo(QByteArray json);

    // The text of a "savePosition" report: x,y,width,height,maximised.
    static QString positionText(const QRect &frame, bool maximized);

    void setUrl(QString url);
    void DrawBorder(QPainter &painterDc);

    ZuvoChatWebBroswer_impl *impl() const { return _impl; }
    QString pendingDownloadRequest() const { return _downloadRequest; }

public slots:
    void stateChanged(Qt::WindowState state);
    void onClosed();
    void onMiniSize();
    void onMaxSize();
    void onRestore();
    void onClearWindowState();
    void onRefresh();
    void onStoreToZuvo();
    void onShareToFriend();
    void onChannel();
    void onGoToChannel(QString channelId, qint64 pageTextBytes);
    void onOpenOutside();
    void onReceiveLog(QString msg);
    void onDocumentStarted();
    void onCurrentUserInfo(QString requestID);
    void onSavePos();
    void onDownloadRequested(const QUrl &url);
    void onRequestFileList(QString key);
    void onRequestFileDownloadOffset(QString key, QStringList fileList);
    void onOpenFileFoler(QString fileKey);
    void onRedownloadFile(QString requestid, QString key);
    void onRemoveDownloadFile(QString requestid, QString key);
    void onRemoveAllDownloadFile(QString requestid);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void showInfo_impl(QString information);
    void updateShareToFriend_impl();
    void updateStoreToZuvo_impl();
    void updateOpenOutside_impl();
    void updateCheckChannel_impl();
    void webfileListResponse_impl(QByteArray json);
    void webfileDownloadOffsetResponse_impl(QByteArray json);
    void startDownloadResponse_impl(QByteArray json);
    void restartDownloadResponse_impl(QByteArray json);
    void removeHistoryResponse_impl(QByteArray json);
    void removeAllHistoryResponse_impl(QByteArray json);
    void iqCurrentUserInfo_impl(QByteArray json);

    void connectContent();
    void updateMask();
    void closeDialogs();

    ZuvoChatWebBroswer_impl *_impl = nullptr;
    bool _maximized = false;
    QTimer _savePosTimer;
    QString _oldPosString;
    QString _downloadRequest;
    quint64 _lastDownloadTime = 0;
    bool _activationPending = false;
};
