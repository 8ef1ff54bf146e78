#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

// The one browser window. Host events and replies reach it through the static
// entry points, which do nothing while no window exists.
class ZuvoChatWebBroswer : public QWidget
{
    Q_OBJECT

public:
    static void newZuvoChatWebBroswer(QString url, QWidget *parent);
    static void destory();
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
};
