#include "zuvochatwebbroswer.h"

namespace {
ZuvoChatWebBroswer *_webView = nullptr;
}

void ZuvoChatWebBroswer::newZuvoChatWebBroswer(QString, QWidget *) {}

void ZuvoChatWebBroswer::destory()
{
    if (!_webView)
        return;
    _webView->close();
    delete _webView;
    _webView = nullptr;
}

void ZuvoChatWebBroswer::activeWnd() {}
void ZuvoChatWebBroswer::showInfo(QString) {}
void ZuvoChatWebBroswer::updateShareToFriend() {}
void ZuvoChatWebBroswer::updateStoreToZuvo() {}
void ZuvoChatWebBroswer::updateOpenOutside() {}
void ZuvoChatWebBroswer::updateCheckChannel() {}
void ZuvoChatWebBroswer::webfileListResponse(QByteArray) {}
void ZuvoChatWebBroswer::webfileDownloadOffsetResponse(QByteArray) {}
void ZuvoChatWebBroswer::startDownloadResponse(QByteArray) {}
void ZuvoChatWebBroswer::restartDownloadResponse(QByteArray) {}
void ZuvoChatWebBroswer::removeHistoryResponse(QByteArray) {}
void ZuvoChatWebBroswer::removeAllHistoryResponse(QByteArray) {}
void ZuvoChatWebBroswer::iqCurrentUserInfo(QByteArray) {}
